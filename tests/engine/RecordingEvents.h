#pragma once
// A PlayerEvents listener for tests: records every report in order, lets a test wait for one,
// and keeps each new title as CopyTrack gives it right after TitleChanged.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "engine/IcyStream.h"
#include "engine/PlayerEvents.h"

namespace orvel::test {

class RecordingEvents : public PlayerEvents {
 public:
  // Pseudo ids for the reports that carry no string id.
  static constexpr int32_t kPrebufferComplete = 1329;
  static constexpr int32_t kTitleChanged = 1330;
  static constexpr int32_t kConnectedOk = -1;
  static constexpr int32_t kConnectFailed = -2;
  static constexpr int32_t kReconnecting = 10000;  // plus the attempt number

  void ReportNetStatus(int32_t id) override { record(id); }
  void ReportStatus(int32_t id) override { record(id); }
  void PrebufferComplete() override { record(kPrebufferComplete); }
  void ConnectFinished(bool ok) override { record(ok ? kConnectedOk : kConnectFailed); }
  // Copies the new title as the screen would, when a stream is given.
  void TitleChanged() override;
  void ReportReconnecting(int32_t attempt) override { record(kReconnecting + attempt); }

  std::vector<int32_t> reports() const;
  size_t count(int32_t id) const;
  void clear();
  // Waits until `id` has been reported `times` times; false on time-out.
  bool waitFor(int32_t id, size_t times = 1, int timeoutMs = 10000) const;
  // Waits for ConnectFinished; its result.
  bool waitConnected(int timeoutMs = 10000) const;

  IcyStream* stream = nullptr;  // set by the test before connecting
  std::vector<WString> titles;  // the reading thread's only

 private:
  void record(int32_t id);

  mutable std::mutex m_lock;
  mutable std::condition_variable m_changed;
  std::vector<int32_t> m_reports;
};

}  // namespace orvel::test
