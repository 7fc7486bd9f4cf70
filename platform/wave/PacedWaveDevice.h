#pragma once
// The null and WAV devices: a worker thread "plays" each buffer for as long as it lasts at the
// format's rate (or at once, for wav-fast), hands it to the WAV file when there is one (with the
// volume applied), and posts it back as done. Pause holds the clock; reset returns every buffer
// not yet played.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/wave/WavFileWriter.h"
#include "platform/wave/WaveDevice.h"

namespace orvel {

class MessageTarget;

class PacedWaveDevice : public WaveDevice {
 public:
  // `file` may be null (the null device). `realTime` false plays every buffer at once.
  PacedWaveDevice(const PcmFormat& format, MessageTarget* completions,
                  std::unique_ptr<WavFileWriter> file, bool realTime);
  ~PacedWaveDevice() override;

  bool write(const void* data, uint32_t bytes, intptr_t cookie) override;
  bool pause() override;
  bool restart() override;
  bool reset() override;
  void close() override;

 private:
  struct Pending {
    const uint8_t* data;
    uint32_t bytes;
    intptr_t cookie;
  };
  using Clock = std::chrono::steady_clock;

  void run();
  // Waits until the front buffer has played; false when reset, pause or close came first.
  bool playFront(std::unique_lock<std::mutex>& lock);
  void deliver(const Pending& buffer);
  void returnAll(std::unique_lock<std::mutex>& lock);

  const PcmFormat m_format;          // immutable
  MessageTarget* const m_completions;  // immutable
  const bool m_realTime;             // immutable
  std::unique_ptr<WavFileWriter> m_file;  // worker thread only (after construction)
  std::vector<uint8_t> m_scratch;         // worker thread only: the buffer with the volume applied

  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::deque<Pending> m_queue;       // guarded by m_mutex
  Clock::duration m_playedOfFront{};  // guarded by m_mutex: how much of the front has played
  bool m_paused = false;             // guarded by m_mutex
  bool m_closing = false;            // guarded by m_mutex
  uint64_t m_resets = 0;             // guarded by m_mutex: counts resets, so a wait sees them
  std::thread m_worker;
};

}  // namespace orvel
