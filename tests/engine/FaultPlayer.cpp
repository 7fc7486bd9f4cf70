#include "FaultPlayer.h"

#include <filesystem>
#include <fstream>

#include "PlayToolRunner.h"
#include "platform/Text.h"

namespace orvel::test {

FaultPlayer::FaultPlayer(ConnectionTiming timing, const std::string& device, int connectWaitMs)
    : m_folder(makeTempFolder()), m_driver(WaveDriver::create(device)) {
  // The folder's ignore_my_docs makes it the recording folder itself.
  std::ofstream(m_folder + "/ignore_my_docs") << "";
  Player::Settings settings;
  const WString folder = fromUtf8(m_folder);
  settings.recDir = [folder] { return folder; };
  settings.timing = timing;
  settings.connectWaitMs = connectWaitMs;
  settings.driver = m_driver.get();
  m_player = std::make_unique<Player>(&m_notify, std::move(settings));
  m_player->Start();
}

FaultPlayer::~FaultPlayer() {
  if (!m_shutDown) {
    m_player->Close();
    waitReply(Player::kClose);
  }
  m_player->Shutdown();
  m_player.reset();
  std::filesystem::remove_all(m_folder);
}

bool FaultPlayer::waitFor(uint32_t message, std::optional<uintptr_t> wParam, int timeoutMs) {
  const auto start = std::chrono::steady_clock::now();
  for (;;) {
    const int64_t left = timeoutMs - msSince(start);
    if (left <= 0) return false;
    const auto taken = m_notify.get(static_cast<int>(left));
    if (!taken) return false;
    m_taken.push_back({taken->message, taken->wParam});
    if (taken->message == message && (!wParam || taken->wParam == *wParam)) return true;
  }
}

std::optional<bool> FaultPlayer::waitReply(uint32_t command, int timeoutMs) {
  if (!waitFor(command + Player::kReplyOffset, std::nullopt, timeoutMs)) return std::nullopt;
  return m_taken.back().wParam != 0;
}

std::optional<bool> FaultPlayer::open(const std::string& url, int timeoutMs, int32_t reconnects) {
  m_player->Open(OpenRequest{fromUtf8(url), false, 0, reconnects});
  return waitReply(Player::kOpen, timeoutMs);
}

size_t FaultPlayer::count(uint32_t message, uintptr_t wParam) const {
  size_t n = 0;
  for (const Posted& posted : m_taken) {
    if (posted.message == message && posted.wParam == wParam) ++n;
  }
  return n;
}

std::vector<int32_t> FaultPlayer::statuses() const {
  std::vector<int32_t> ids;
  for (const Posted& posted : m_taken) {
    if (posted.message == Player::kStatus) ids.push_back(static_cast<int32_t>(posted.wParam));
  }
  return ids;
}

int64_t msSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

std::string loopedPrefix(const std::string& audio, size_t n) {
  std::string bytes;
  while (bytes.size() < n) bytes += audio.substr(0, n - bytes.size());
  return bytes;
}

}  // namespace orvel::test
