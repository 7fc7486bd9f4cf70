#include "ui/MainPanelControl.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>

#include "audio/TagInfo.h"
#include "engine/TitleLine.h"
#include "library/PlaylistUrls.h"
#include "library/RadioInfo.h"
#include "library/StreamInfo.h"
#include "platform/AppKeys.h"
#include "platform/qt/IdleTimer.h"
#include "platform/wave/WaveVolume.h"
#include "resources/StringTable.h"
#include "skin/SkinButton.h"
#include "skin/SkinDescription.h"
#include "skin/SkinMessageEvent.h"
#include "skin/SkinTextControl.h"
#include "ui/ErrorBox.h"
#include "ui/PlayerHost.h"
#include "ui/SettingsStore.h"
#include "ui/SkinAccessible.h"

namespace orvel {
namespace {

constexpr int kStateLine = 0;
constexpr int kTransientLine = 1;
constexpr uint32_t kChannelMax = 0xFFFF;

WString fromQString(const QString& text) { return text.toStdU16String(); }

}  // namespace

MainPanelControl::MainPanelControl(PlayerHost* host, SettingsStore& settings,
                                   Player::Settings playerSettings)
    : m_host(host), m_settings(settings), m_playerSettings(std::move(playerSettings)) {
  if (!m_playerSettings.recDir) {
    m_playerSettings.recDir = [&settings] {
      WString folder;
      settings.GetText(SettingsStore::kRecDir, &folder);
      return folder;
    };
  }
  // A station's address that answers with a playlist is read by the library's readers.
  if (!m_playerSettings.playlistReader) m_playerSettings.playlistReader = PlaylistUrls::read;
}

MainPanelControl::~MainPanelControl() { destroy(); }

bool MainPanelControl::setup(QWidget* parent, SkinDescription& description, bool visible) {
  m_firstRepeat = false;
  SkinAccessible::install();
  if (!SkinPanel::setup(parent, description, SkinDescription::kMainPanel, visible)) return false;
  const int buttonElements[] = {SkinDescription::kPlayBtn, SkinDescription::kVolumeUpBtn,
                                SkinDescription::kVolumeDownBtn};
  for (size_t i = 0; i < m_buttons.size(); ++i) {
    m_buttons[i] = new SkinButton(this);
    if (!m_buttons[i]->setup(this, backgroundPicture(), description, buttonElements[i], true,
                             true)) {
      destroyChildren();
      return false;
    }
  }
  const int textElements[] = {SkinDescription::kStateText, SkinDescription::kStaticText,
                              SkinDescription::kLiveText};
  for (size_t i = 0; i < m_texts.size(); ++i) {
    m_texts[i] = new SkinTextControl;
    if (!m_texts[i]->setup(this, backgroundPicture(), description, textElements[i], true, true)) {
      destroyChildren();
      return false;
    }
  }
  stateText()->setLineCount(2);
  stationText()->setLineCount(1);
  titleText()->setLineCount(1);
  setAccessibleName(QStringLiteral("Player"));
  volumeUpButton()->setAccessibleName(QStringLiteral("Volume up"));
  volumeDownButton()->setAccessibleName(QStringLiteral("Volume down"));
  stateText()->setAccessibleName(QStringLiteral("State"));
  stationText()->setAccessibleName(QStringLiteral("Station"));
  titleText()->setAccessibleName(QStringLiteral("Title"));
  updateAccessibility();
  m_player = std::make_unique<Player>(this, m_playerSettings);
  m_player->Start();
  return true;
}

void MainPanelControl::destroyChildren() {
  for (SkinButton*& button : m_buttons) {
    delete button;
    button = nullptr;
  }
  for (SkinTextControl*& text : m_texts) {
    delete text;
    text = nullptr;
  }
}

void MainPanelControl::destroy() {
  if (!m_player) return;
  StopPlayback();
  stopTimer(kVolumeRepeatTimer);
  stopTimer(kTransientTimer);
  m_repeating = nullptr;
  WaveVolume::store();
  m_player->Shutdown();
  m_player.reset();
  m_lastTitle.reset();
}

void MainPanelControl::PlayStream(const StreamInfo* stream, int presetIndex, bool alarm) {
  if (stream == nullptr || !m_player) return;
  StopPlayback();
  const OpenRequest request = openRequest(*stream, m_settings, alarm);
  m_currentPreset = presetIndex;
  m_lastRadioTitle = stream->radio != nullptr ? stream->radio->title : WString();
  m_lastStream = *stream;
  m_lastStream.radio = nullptr;
  m_openPrebuffers = request.prebuffer;
  m_prebufferDone = false;
  m_player->Open(request);
}

void MainPanelControl::StopPlayback() {
  stopTimer(kBufferingTimer);
  stopTimer(kKeepAliveTimer);
  if (m_player) m_player->Close();
}

void MainPanelControl::startPlayback() {
  if (m_player) m_player->Play();
}

void MainPanelControl::pausePlayback() {
  if (m_player) m_player->Pause();
}

bool MainPanelControl::replay() {
  if (!hasPlayed()) return false;
  const StreamInfo stream = m_lastStream;
  const WString radioTitle = m_lastRadioTitle;
  PlayStream(&stream, m_currentPreset, false);
  m_lastRadioTitle = radioTitle;
  return true;
}

WString MainPanelControl::stationName() const {
  const WString& fromServer = stationText()->line(0);
  return fromServer.empty() ? m_lastRadioTitle : fromServer;
}

void MainPanelControl::recordStart() {
  if (m_player) m_player->RecordStart();
}

void MainPanelControl::recordStop() {
  if (m_player) m_player->RecordStop();
}

OpenRequest MainPanelControl::openRequest(const StreamInfo& stream, const SettingsStore& settings,
                                          bool alarm) {
  uint32_t prebuffer = 1;
  settings.GetNumber(SettingsStore::kUsePrebuffering, &prebuffer);
  uint32_t reconnect = 1;
  settings.GetNumber(SettingsStore::kReconnect, &reconnect);
  OpenRequest request;
  request.url = stream.url;
  request.prebuffer = prebuffer != 0;
  request.retries = alarm ? kAlarmRetries : 0;
  // An alarm must not fall silent for a dropped connection, whatever the setting.
  request.reconnects = alarm || reconnect == 1 ? OpenRequest::kReconnectForever : 0;
  return request;
}

bool MainPanelControl::post(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  QCoreApplication::postEvent(this, new SkinMessageEvent(message, wParam, lParam));
  return true;
}

intptr_t MainPanelControl::notify(uint32_t code, const Notification& data) {
  const bool volumeButton = data.button == volumeUpButton() || data.button == volumeDownButton();
  if (code == kNotifyPressed && volumeButton) {
    m_repeating = data.button;
    m_firstRepeat = true;
    volumeStep(data.button == volumeUpButton() ? 1 : -1);
    startTimer(kVolumeRepeatTimer, kFirstRepeatMs);
  } else if (code == kNotifyPressed && data.button == playButton()) {
    if (m_player && (m_player->IsPlaying() || m_player->state() == Player::Paused)) {
      StopPlayback();
      return 0;
    }
    const QPointF inside(1, 1);
    QCoreApplication::postEvent(
        playButton(),
        new QMouseEvent(QEvent::MouseButtonRelease, inside, playButton()->mapToGlobal(inside),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    const StreamInfo* chosen = nullptr;
    if (m_host != nullptr && m_host->ChooseStream(&chosen)) PlayStream(chosen, -1, false);
  } else if (code == kNotifyReleased && volumeButton) {
    stopTimer(kVolumeRepeatTimer);
    m_repeating = nullptr;
    WaveVolume::store();
  }
  return 0;
}

void MainPanelControl::volumeStep(int direction) {
  const int delta = (m_firstRepeat ? kFineVolumeStep : kVolumeStep) * direction;
  const uint32_t volume = steppedVolume(WaveVolume::get(), delta);
  WaveVolume::change(volume);  // stored when the button is released
  showTransient(fromQString(QStringLiteral("Volume: %1%").arg(volumePercent(volume))));
  if (m_host != nullptr) m_host->PlayerStateChanged();
}

uint32_t MainPanelControl::steppedVolume(uint32_t volume, int delta) {
  const auto step = [delta](uint32_t channel) {
    return static_cast<uint32_t>(
        std::clamp<int64_t>(static_cast<int64_t>(channel) + delta, 0, kChannelMax));
  };
  return step(volume & kChannelMax) | (step(volume >> 16) << 16);
}

int MainPanelControl::volumePercent(uint32_t volume) {
  if (volume == 0) return 0;
  return static_cast<int>(std::floor((volume & kChannelMax) * 100.0 / kChannelMax));
}

bool MainPanelControl::otherMessage(uint32_t message, uintptr_t wParam, intptr_t lParam,
                                    intptr_t& result) {
  if (message == kSkinRelayoutMessage) {
    return SkinPanel::otherMessage(message, wParam, lParam, result);
  }
  const bool fromPlayer = (message >= Player::kPlaybackEnded && message <= Player::kTitleChanged) ||
                          (message >= Player::kOpen + Player::kReplyOffset &&
                           message <= Player::kRecordStop + Player::kReplyOffset);
  if (!fromPlayer) return false;
  playerMessage(message, wParam, lParam);
  result = 0;
  return true;
}

void MainPanelControl::playerMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  const auto id = static_cast<int32_t>(wParam);
  playerReply(message, id, lParam);
  updateAccessibility();
  if (m_host != nullptr) m_host->PlayerStateChanged();
}

void MainPanelControl::updateAccessibility() {
  const QString playName =
      playButton()->mode() == 1 ? QStringLiteral("Stop") : QStringLiteral("Play");
  if (playButton()->accessibleName() != playName) playButton()->setAccessibleName(playName);
  for (SkinTextControl* text : m_texts) SkinAccessible::announce(text);
}

void MainPanelControl::playerReply(uint32_t message, int32_t id, intptr_t lParam) {
  switch (message) {
    case Player::kNetStatus:
    case Player::kStatus:
      statusMessage(id, lParam);
      break;
    case Player::kPrebufferDone:
      // The reader thread may post this before the player thread posts the Open reply.
      m_prebufferDone = true;
      stopTimer(kBufferingTimer);
      startPlayback();
      break;
    case Player::kTitleChanged:
      titleChanged();
      break;
    case Player::kPlaybackEnded:
      if (m_host != nullptr && !m_player->RecordingPath().empty()) m_host->RecordingStopped();
      break;
    case Player::kOpen + Player::kReplyOffset:
      openDone(id == 1);
      break;
    case Player::kClose + Player::kReplyOffset:
      closeDone();
      break;
    case Player::kPlay + Player::kReplyOffset:
      playButton()->setMode(1);
      post(Player::kTitleChanged, 0, 0);
      startTimer(kKeepAliveTimer, kKeepAliveMs);
      break;
    case Player::kStop + Player::kReplyOffset:
      showTransient(StringTable::load(kStrPlaybackStopped));
      break;
    case Player::kRecordStart + Player::kReplyOffset:
      if (id == 1) {
        showTransient(StringTable::load(kStrRecordingStarted));
      } else if (const int32_t error = m_player->GetLastError(); error != 0) {
        ErrorBox::show(static_cast<uint16_t>(error));
      }
      break;
    default:
      break;  // pause and record-stop replies need nothing
  }
}

void MainPanelControl::statusMessage(int32_t stringId, intptr_t lParam) {
  switch (stringId) {
    case kStrConnectionInterrupted:
      if (m_host != nullptr && !m_player->RecordingPath().empty()) m_host->RecordingStopped();
      StopPlayback();
      break;
    case kStrPlaybackStarted:
    case kStrConnectionClosed:
    case kStrReconnected:
      setStateLine(WString());
      break;
    case kStrReconnecting:
      setStateLine(fromQString(QString::fromStdU16String(StringTable::load(kStrReconnecting))
                                   .replace(QStringLiteral("%d"), QString::number(lParam))));
      break;
    case kStrOnline:
      showTransient(WString(kProgramTitle));
      break;
    case kStrConnectingToInternet:
    case kStrRequestingServer:
    case kStrConnectedToServer:
      break;
    default:
      setStateLine(StringTable::load(static_cast<uint16_t>(stringId)));
      break;
  }
}

void MainPanelControl::openDone(bool ok) {
  if (!ok) {
    if (const int32_t error = m_player->GetLastError(); error != 0) {
      setStateLine(StringTable::load(static_cast<uint16_t>(error)));
    }
    return;
  }
  const std::optional<StreamHeaders> headers = m_player->GetStreamHeaders();
  if (headers) stationText()->setLine(headers->name.value_or(WString()), 0);
  // Prebuffering follows the request the player got, not the setting as it is now.
  if (!m_openPrebuffers) {
    startPlayback();
  } else if (!m_prebufferDone) {
    startTimer(kBufferingTimer, kBufferingMs);
  }
  if (m_currentPreset >= 0 && m_host != nullptr) m_host->HighlightPreset(m_currentPreset);
}

void MainPanelControl::closeDone() {
  // The closed stream's notifications all came before this reply.
  m_prebufferDone = false;
  stationText()->setLine(WString(), 0);
  titleText()->setLine(WString(), 0);
  m_lastTitle.reset();
  playButton()->setMode(0);
  if (m_host != nullptr) m_host->HighlightPreset(-1);
}

void MainPanelControl::titleChanged() {
  TagInfo info;
  if (!m_player || !m_player->GetTrackInfo(info)) return;
  const WString line = TitleLine::compose(info);
  if (m_lastTitle && *m_lastTitle == line) return;
  titleText()->setLine(line, 0);
  m_lastTitle = line;
}

void MainPanelControl::setStateLine(const WString& text) { stateText()->setLine(text, kStateLine); }

void MainPanelControl::showTransient(const WString& text) {
  stateText()->setLine(text, kTransientLine);
  stateText()->showLine(kTransientLine);
  startTimer(kTransientTimer, kTransientMs);
  SkinAccessible::announce(stateText());
}

void MainPanelControl::volumeKey(int direction, bool repeated) {
  m_firstRepeat = !repeated;
  volumeStep(direction);
}

void MainPanelControl::volumeKeyReleased() { WaveVolume::store(); }

void MainPanelControl::startTimer(TimerId id, int periodMs) {
  stopTimer(id);
  m_timers[id - kVolumeRepeatTimer] = QObject::startTimer(periodMs);
}

void MainPanelControl::stopTimer(TimerId id) {
  int& qtId = m_timers[id - kVolumeRepeatTimer];
  if (qtId != 0) killTimer(qtId);
  qtId = 0;
}

void MainPanelControl::timer(int qtTimerId) {
  for (size_t i = 0; i < m_timers.size(); ++i) {
    if (m_timers[i] == qtTimerId && qtTimerId != 0) {
      timerExpired(static_cast<TimerId>(kVolumeRepeatTimer + i));
      return;
    }
  }
}

void MainPanelControl::timerExpired(TimerId id) {
  switch (id) {
    case kVolumeRepeatTimer:
      if (m_repeating == nullptr) {
        stopTimer(id);
        return;
      }
      volumeStep(m_repeating == volumeUpButton() ? 1 : -1);
      if (m_firstRepeat) {
        m_firstRepeat = false;
        startTimer(id, kRepeatMs);
      }
      break;
    case kTransientTimer:
      stopTimer(id);
      stateText()->showLine(kStateLine);
      SkinAccessible::announce(stateText());
      break;
    case kBufferingTimer:
      setStateLine(fromQString(
          QStringLiteral("Buffering: %1%").arg(m_player ? m_player->GetBufferFill() : 0)));
      break;
    case kKeepAliveTimer:
      post(Player::kTitleChanged, 0, 0);
      IdleTimer::reset();
      break;
  }
}

}  // namespace orvel
