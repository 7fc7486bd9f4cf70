#include "app/DesktopIntegration.h"

#include <QMetaObject>

#include "app/MainWindow.h"
#include "library/RadioDatabase.h"
#include "platform/qt/DesktopNotifier.h"
#include "platform/qt/MprisService.h"
#include "platform/wave/WaveVolume.h"
#include "ui/MainPanelControl.h"
#include "ui/PresetsPanelControl.h"
#include "ui/SettingsStore.h"

namespace orvel {
namespace {

constexpr uint32_t kChannelMax = 0xFFFF;

QString toQString(const WString& text) { return QString::fromStdU16String(text); }

}  // namespace

QStringList DesktopIntegration::mimeTypes() {
  return {QStringLiteral("audio/mpeg"),
          QStringLiteral("audio/aac"),
          QStringLiteral("audio/aacp"),
          QStringLiteral("audio/ogg"),
          QStringLiteral("application/ogg"),
          QStringLiteral("audio/x-scpls"),
          QStringLiteral("audio/x-mpegurl"),
          QStringLiteral("audio/mpegurl"),
          QStringLiteral("application/vnd.apple.mpegurl"),
          QStringLiteral("application/x-mpegurl")};
}

DesktopIntegration::DesktopIntegration(MainWindow& window, const SettingsStore& settings)
    : m_window(window), m_settings(settings) {}

DesktopIntegration::~DesktopIntegration() = default;

bool DesktopIntegration::start() {
  m_notifier = std::make_unique<DesktopNotifier>(QStringLiteral("Orvel Radio"),
                                                 QString::fromLatin1(kDesktopEntry),
                                                 QString::fromLatin1(kDesktopEntry));
  if (!m_notifier->start()) m_notifier.reset();
  MediaPlayerControl& control = *this;
  m_mpris =
      std::make_unique<MprisService>(control, QString::fromLatin1(kDesktopEntry), mimeTypes());
  if (m_mpris->start()) return true;
  m_mpris.reset();
  return false;
}

void DesktopIntegration::playerChanged() {
  if (m_mpris) m_mpris->refresh();
  const MainPanelControl* panel = m_window.mainPanel();
  // A title that comes with the connection waits until its sound plays, and the station is known.
  if (panel == nullptr || panel->player() == nullptr || !panel->player()->IsPlaying()) return;
  const QString title = toQString(panel->title());
  if (title == m_title) return;
  m_title = title;
  if (!title.isEmpty() && !m_window.isActiveWindow()) {
    notify(title, toQString(panel->stationName()));
  }
}

void DesktopIntegration::alarmStarted(const WString& station) {
  notify(QStringLiteral("Alarm"), toQString(station));
}

void DesktopIntegration::recordingStopped() {
  notify(QStringLiteral("Recording stopped"),
         QStringLiteral("The stream ended or the storage is full."));
}

void DesktopIntegration::notify(const QString& summary, const QString& body) {
  uint32_t enabled = 1;
  m_settings.GetNumber(SettingsStore::kNotify, &enabled);
  if (m_notifier && enabled != 0) m_notifier->show(summary, body);
}

MediaPlayerState DesktopIntegration::mediaState() const {
  MediaPlayerState state;
  const MainPanelControl* panel = m_window.mainPanel();
  state.volume = static_cast<double>(WaveVolume::get() & kChannelMax) / kChannelMax;
  state.canGoNext = state.canGoPrevious = steppedPreset(1) >= 0;
  if (panel == nullptr || panel->player() == nullptr) return state;
  const bool anyPreset =
      state.canGoNext || m_window.database().GetPreset(panel->currentPreset()) != nullptr;
  const Player::PlayerState playerState = panel->player()->state();
  if (playerState == Player::Playing) state.status = MediaPlayerState::Status::Playing;
  if (playerState == Player::Paused) state.status = MediaPlayerState::Status::Paused;
  if (playerState != Player::Idle) {
    state.url = toQString(panel->streamUrl());
    state.station = toQString(panel->stationName());
    state.title = toQString(panel->title());
  }
  state.canPlay = panel->hasPlayed() || anyPreset;
  state.canPause = state.status == MediaPlayerState::Status::Playing;
  return state;
}

void DesktopIntegration::mediaPlay() {
  MainPanelControl* panel = m_window.mainPanel();
  if (panel == nullptr || panel->player() == nullptr) return;
  const Player::PlayerState state = panel->player()->state();
  if (state == Player::Paused) {
    panel->startPlayback();
  } else if (state != Player::Playing && !panel->replay()) {
    mediaStep(1);
  }
}

void DesktopIntegration::playOrStop() {
  const MainPanelControl* panel = m_window.mainPanel();
  if (panel == nullptr || panel->player() == nullptr) return;
  const Player::PlayerState state = panel->player()->state();
  if (state == Player::Playing || state == Player::Paused) {
    mediaStop();
  } else {
    mediaPlay();
  }
}

void DesktopIntegration::mediaPause() {
  if (MainPanelControl* panel = m_window.mainPanel()) panel->pausePlayback();
}

void DesktopIntegration::mediaStop() {
  if (MainPanelControl* panel = m_window.mainPanel()) panel->StopPlayback();
}

int DesktopIntegration::steppedPreset(int direction) const {
  const MainPanelControl* panel = m_window.mainPanel();
  const int current = panel != nullptr ? panel->currentPreset() : -1;
  const int count = PresetsPanelControl::kPresetCount;
  // Without a preset played, Next starts at the first preset and Previous at the last.
  const int start = current >= 0 && current < count ? current : (direction > 0 ? -1 : count);
  for (int step = 1; step <= count; ++step) {
    const int index = ((start + step * direction) % count + count) % count;
    if (index != current && m_window.database().GetPreset(index) != nullptr) return index;
  }
  return -1;
}

void DesktopIntegration::mediaStep(int direction) {
  const int preset = steppedPreset(direction);
  MainPanelControl* panel = m_window.mainPanel();
  if (preset < 0 || panel == nullptr) return;
  panel->PlayStream(m_window.database().GetPreset(preset), preset, false);
}

bool DesktopIntegration::mediaOpen(const QString& uri) {
  return m_window.openLink(uri.toStdU16String());
}

void DesktopIntegration::mediaSetVolume(double volume) {
  const auto channel = static_cast<uint32_t>(volume * kChannelMax + 0.5);
  WaveVolume::set(channel | (channel << 16));
}

void DesktopIntegration::mediaRaise() { m_window.bringToForeground(); }

void DesktopIntegration::mediaQuit() {
  QMetaObject::invokeMethod(&m_window, &QWidget::close, Qt::QueuedConnection);
}

}  // namespace orvel
