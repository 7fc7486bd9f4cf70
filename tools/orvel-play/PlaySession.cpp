#include "tools/orvel-play/PlaySession.h"

#include <cstdio>

#include "engine/TitleLine.h"
#include "library/PlaylistUrls.h"
#include "platform/PlayTrace.h"
#include "resources/StringTable.h"

namespace orvel {
namespace {

void printLine(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

std::string replyName(uint32_t message) {
  static const char* const kNames[] = {"open",  "close",        "play",       "stop",
                                       "pause", "record-start", "record-stop"};
  return kNames[message - Player::kOpen - Player::kReplyOffset];
}

Player::Settings playerSettings() {
  Player::Settings settings;
  settings.playlistReader = &PlaylistUrls::read;
  return settings;
}

}  // namespace

PlaySession::PlaySession(PlayOptions options)
    : m_options(std::move(options)), m_player(&m_queue, playerSettings()) {}

int PlaySession::run() {
  m_player.Start();
  PlayTrace::mark("open");
  m_player.Open(OpenRequest{fromUtf8(m_options.url), m_options.prebuffer, m_options.retries,
                            m_options.reconnects});
  while (!m_done) {
    const auto message = m_queue.get(timeUntilNextTimerMs());
    if (message) handle(*message);
    runTimers();
  }
  m_player.Shutdown();
  return m_exitCode;
}

int PlaySession::timeUntilNextTimerMs() const {
  std::optional<Clock::time_point> next = m_nextRefresh;
  if (m_endAt && (!next || *m_endAt < *next)) next = m_endAt;
  if (!next) return MessageQueue::kInfinite;
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(*next - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

void PlaySession::runTimers() {
  const auto now = Clock::now();
  if (m_endAt && now >= *m_endAt) {
    m_endAt.reset();
    close();
  }
  if (m_nextRefresh && now >= *m_nextRefresh) {
    m_nextRefresh = now + std::chrono::milliseconds(kTitleRefreshMs);
    m_queue.post(Player::kTitleChanged, 0, 0);
  }
}

void PlaySession::handle(const Message& message) {
  const uint32_t id = message.message;
  if (id == Player::kNetStatus || id == Player::kStatus) {
    const auto stringId = static_cast<uint16_t>(message.wParam);
    if (stringId == kStrReconnecting) {
      printLine("reconnect " + std::to_string(message.lParam));
    } else if (stringId == kStrReconnected) {
      printLine("reconnected");
    } else {
      printLine("status " + std::to_string(stringId) + " " + toUtf8(StringTable::load(stringId)));
    }
    if (stringId == kStrConnectionInterrupted) close();
  } else if (id >= Player::kOpen + Player::kReplyOffset &&
             id <= Player::kRecordStop + Player::kReplyOffset) {
    const bool ok = message.wParam != 0;
    printLine("reply " + replyName(id) + " " + std::to_string(ok ? 1 : 0));
    if (id == Player::kOpen + Player::kReplyOffset) onOpenReply(ok);
    if (id == Player::kPlay + Player::kReplyOffset) onPlayReply();
    if (id == Player::kRecordStart + Player::kReplyOffset) {
      if (ok) printLine("recording " + toUtf8(m_player.RecordingPath()));
      if (!ok) printError();
    }
    if (id == Player::kClose + Player::kReplyOffset) {
      m_nextRefresh.reset();
      m_endAt.reset();
      if (m_closing) m_done = true;
    }
  } else if (id == Player::kPrebufferDone) {
    printLine("prebuffered");
    m_player.Play();
  } else if (id == Player::kPlaybackEnded) {
    printLine("ended");
  } else if (id == Player::kTitleChanged) {
    refreshTitle();
  } else if (id == Player::kStreamResolved) {
    for (const std::string& url : m_player.TakeResolvedUrls()) printLine("resolved " + url);
  } else if (id == kInterrupted) {
    close();
  }
}

void PlaySession::onOpenReply(bool ok) {
  if (!ok) {
    printError();
    m_exitCode = 1;
    m_done = true;
    return;
  }
  const std::optional<StreamHeaders> headers = m_player.GetStreamHeaders();
  printLine("station " + (headers && headers->name ? toUtf8(*headers->name) : ""));
  if (!m_options.prebuffer) m_player.Play();
}

void PlaySession::onPlayReply() {
  m_queue.post(Player::kTitleChanged, 0, 0);
  const auto now = Clock::now();
  m_nextRefresh = now + std::chrono::milliseconds(kTitleRefreshMs);
  if (m_options.seconds >= 0 && !m_endAt) m_endAt = now + std::chrono::seconds(m_options.seconds);
  if (m_options.record) {
    m_options.record = false;
    m_player.RecordStart();
  }
}

void PlaySession::refreshTitle() {
  TagInfo info;
  if (!m_player.GetTrackInfo(info)) return;
  const WString line = TitleLine::compose(info);
  if (m_lastTitle && *m_lastTitle == line) return;
  m_lastTitle = line;
  PlayTrace::mark("title");
  printLine("title " + toUtf8(line));
}

void PlaySession::printError() {
  const int32_t error = m_player.GetLastError();
  if (error == 0) return;
  printLine("error " + std::to_string(error) + " " +
            toUtf8(StringTable::load(static_cast<uint16_t>(error))));
}

void PlaySession::close() {
  if (m_closing) return;
  m_closing = true;
  m_player.Close();
}

}  // namespace orvel
