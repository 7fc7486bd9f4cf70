#pragma once
// The ALSA device: the "default" PCM, fed by a writer thread in non-blocking mode, so that pause,
// reset and close reach it at once. All ALSA calls on an open PCM happen on the writer thread
// (and, once it has ended, in close). A buffer is done when all of it has been handed to ALSA.

#include <memory>
#include <vector>

#include "platform/wave/AlsaLibrary.h"
#include "platform/wave/PcmFormat.h"
#include "platform/wave/QueuedWaveDevice.h"

namespace orvel {

class MessageTarget;

class AlsaWaveDevice : public QueuedWaveDevice {
 public:
  static constexpr unsigned kLatencyUs = 500000;

  // Opens and sets up the PCM; nothing when ALSA cannot be loaded or refuses.
  static std::unique_ptr<AlsaWaveDevice> open(const PcmFormat& format, MessageTarget* completions);
  ~AlsaWaveDevice() override;
  // A buffer comes back once ALSA has taken it, about the asked latency before it is heard.
  uint32_t latencyMs() const override { return kLatencyUs / 1000; }

 private:
  AlsaWaveDevice(const AlsaLibrary& alsa, snd_pcm_t* pcm, const PcmFormat& format,
                 MessageTarget* completions, int wakeFd);
  void run() override;
  void wakeWorker() override;
  void release() override;
  void writeBuffer(const Pending& buffer, uint64_t resets);
  bool waitForRoom(uint64_t resets);
  void applyRequests();

  const AlsaLibrary& m_alsa;  // immutable
  const PcmFormat m_format;   // immutable
  const int m_wakeFd;         // immutable: the eventfd that wakes the writer's poll
  // --- writer thread only; m_pcm also to close once the writer has ended
  snd_pcm_t* m_pcm;
  std::vector<uint8_t> m_scratch;
  bool m_pcmPaused = false;  // what the PCM is (m_paused is what callers asked for)
  uint64_t m_resetsDone = 0;
};

}  // namespace orvel
