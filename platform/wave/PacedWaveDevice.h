#pragma once
// The null and WAV devices: a worker thread "plays" each buffer for as long as it lasts at the
// format's rate (or at once, for wav-fast), hands it to the WAV file when there is one (with the
// volume applied), and posts it back as done. Pause holds the clock; reset returns every buffer
// not yet played.

#include <chrono>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/wave/PcmFormat.h"
#include "platform/wave/QueuedWaveDevice.h"
#include "platform/wave/WavFileWriter.h"

namespace orvel {

class MessageTarget;

class PacedWaveDevice : public QueuedWaveDevice {
 public:
  // `file` may be null (the null device). `realTime` false plays every buffer at once.
  PacedWaveDevice(const PcmFormat& format, MessageTarget* completions,
                  std::unique_ptr<WavFileWriter> file, bool realTime);
  ~PacedWaveDevice() override;

 private:
  using Clock = std::chrono::steady_clock;

  void run() override;
  void onQueueReturned() override;
  void release() override;
  // Waits until the front buffer has played; false when reset, pause or close came first.
  bool playFront(std::unique_lock<std::mutex>& lock);
  void deliver(const Pending& buffer);

  const PcmFormat m_format;  // immutable
  const bool m_realTime;     // immutable
  // --- worker thread only; m_file also to close once the worker has ended
  std::unique_ptr<WavFileWriter> m_file;
  std::vector<uint8_t> m_scratch;  // the buffer with the volume applied
  // --- guarded by m_mutex
  Clock::duration m_playedOfFront{};  // how much of the queue's front has played
};

}  // namespace orvel
