#pragma once
// A Player for the fault tests: a wave device of the test's choosing, shortened connection
// limits, recordings in a private folder, and a log of every message it posts so a test can
// wait for one and then look at the whole sequence.
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/Player.h"

namespace orvel::test {

class FaultPlayer {
 public:
  struct Posted {
    uint32_t message;
    uintptr_t wParam;
  };

  // `device` as ORVEL_RADIO_AUDIO names it ("null", "wav-fast:PATH").
  FaultPlayer(ConnectionTiming timing, const std::string& device, int connectWaitMs = 30000);
  // Closes (waiting for the reply) and shuts the Player down.
  ~FaultPlayer();
  FaultPlayer(const FaultPlayer&) = delete;
  FaultPlayer& operator=(const FaultPlayer&) = delete;

  Player& player() { return *m_player; }
  // Shuts the Player down at once, without the Close the destructor would issue first.
  void shutDown() {
    m_shutDown = true;
    m_player->Shutdown();
  }
  // Takes the Player's messages until one with `message` (and `wParam`, when given) arrives.
  // False when none came within `timeoutMs`.
  bool waitFor(uint32_t message, std::optional<uintptr_t> wParam = std::nullopt,
               int timeoutMs = 20000);
  // Like waitFor, but a matching message taken earlier counts too.
  bool sawOrWaitFor(uint32_t message, uintptr_t wParam, int timeoutMs = 20000) {
    return count(message, wParam) > 0 || waitFor(message, wParam, timeoutMs);
  }
  // The result of the next reply to `command`; nothing on time-out.
  std::optional<bool> waitReply(uint32_t command, int timeoutMs = 20000);
  // Opens `url` without prebuffering; the open reply.
  std::optional<bool> open(const std::string& url, int timeoutMs = 40000, int32_t reconnects = 0);
  // Forgets the messages taken so far.
  void forget() { m_taken.clear(); }
  // How often the message was taken so far.
  size_t count(uint32_t message, uintptr_t wParam) const;
  // The string ids of the status messages taken so far, in order.
  std::vector<int32_t> statuses() const;
  const std::string& recordingFolder() const { return m_folder; }

 private:
  std::string m_folder;
  std::unique_ptr<WaveDriver> m_driver;
  MessageQueue m_notify;
  std::unique_ptr<Player> m_player;
  std::vector<Posted> m_taken;
  bool m_shutDown = false;
};

// Milliseconds since `start`.
int64_t msSince(std::chrono::steady_clock::time_point start);

// The first `n` bytes of the endless loop of `audio`.
std::string loopedPrefix(const std::string& audio, size_t n);

}  // namespace orvel::test
