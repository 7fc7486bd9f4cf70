#pragma once
// One run of orvel-play: drives the Player the way the player screen does and prints one line
// per event. Runs on the main thread; waits on its message queue (timers are its time limits).
#include <chrono>
#include <optional>

#include "engine/Player.h"
#include "platform/MessageQueue.h"
#include "tools/orvel-play/PlayOptions.h"

namespace orvel {

class PlaySession {
 public:
  static constexpr uint32_t kInterrupted = 0x8001;  // posted by the signal watcher
  static constexpr int kTitleRefreshMs = 15000;

  explicit PlaySession(PlayOptions options);
  // The exit status: 0 after a clean close, 1 when the open failed.
  int run();
  MessageQueue& queue() { return m_queue; }

  // The title line from track information, as the player screen composes it.

 private:
  using Clock = std::chrono::steady_clock;
  void handle(const Message& message);
  void onOpenReply(bool ok);
  void onPlayReply();
  void refreshTitle();
  void printError();
  void close();
  int timeUntilNextTimerMs() const;
  void runTimers();

  PlayOptions m_options;
  MessageQueue m_queue;
  Player m_player;
  std::optional<WString> m_lastTitle;
  std::optional<Clock::time_point> m_nextRefresh;
  std::optional<Clock::time_point> m_endAt;
  bool m_closing = false;
  bool m_done = false;
  int m_exitCode = 0;
};

}  // namespace orvel
