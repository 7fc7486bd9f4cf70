#pragma once
// The ALSA device: the "default" PCM, fed by a writer thread in non-blocking mode, so that pause,
// reset and close reach it at once. All ALSA calls on an open PCM happen on the writer thread.
// A buffer is done when all of it has been handed to ALSA.

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/wave/AlsaLibrary.h"
#include "platform/wave/PcmFormat.h"
#include "platform/wave/WaveDevice.h"

namespace orvel {

class MessageTarget;

class AlsaWaveDevice : public WaveDevice {
 public:
  static constexpr unsigned kLatencyUs = 500000;

  // Opens and sets up the PCM; nothing when ALSA cannot be loaded or refuses.
  static std::unique_ptr<AlsaWaveDevice> open(const PcmFormat& format, MessageTarget* completions);
  ~AlsaWaveDevice() override;

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

  AlsaWaveDevice(const AlsaLibrary& alsa, snd_pcm_t* pcm, const PcmFormat& format,
                 MessageTarget* completions, int wakeFd);
  void run();
  void writeBuffer(const Pending& buffer, uint64_t resets);
  bool waitForRoom(uint64_t resets);
  void applyRequests();
  void wake();

  const AlsaLibrary& m_alsa;           // immutable
  snd_pcm_t* m_pcm;                    // writer thread only (after construction)
  const PcmFormat m_format;            // immutable
  MessageTarget* const m_completions;  // immutable
  const int m_wakeFd;                  // eventfd: wakes the writer's poll
  std::vector<uint8_t> m_scratch;      // writer thread only

  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::deque<Pending> m_queue;  // guarded by m_mutex
  bool m_paused = false;        // guarded by m_mutex: what callers asked for
  bool m_pcmPaused = false;     // writer thread only: what the PCM is
  bool m_closing = false;       // guarded by m_mutex
  uint64_t m_resets = 0;        // guarded by m_mutex
  uint64_t m_resetsDone = 0;    // writer thread only
  std::thread m_writer;
};

}  // namespace orvel
