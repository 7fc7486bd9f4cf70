#include "platform/wave/AlsaWaveDevice.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "platform/wave/WaveVolume.h"

namespace orvel {

std::unique_ptr<AlsaWaveDevice> AlsaWaveDevice::open(const PcmFormat& format,
                                                     MessageTarget* completions) {
  if (completions == nullptr || (format.bits != 8 && format.bits != 16)) return nullptr;
  const AlsaLibrary* alsa = AlsaLibrary::get();
  if (alsa == nullptr) return nullptr;
  snd_pcm_t* pcm = nullptr;
  if (alsa->pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
    return nullptr;
  const snd_pcm_format_t sampleFormat =
      format.bits == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
  // No resampling by ALSA: the format was asked for exactly.
  if (alsa->pcm_set_params(pcm, sampleFormat, SND_PCM_ACCESS_RW_INTERLEAVED, format.channels,
                           format.rate, 0, kLatencyUs) < 0) {
    alsa->pcm_close(pcm);
    return nullptr;
  }
  const int wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd < 0) {
    alsa->pcm_close(pcm);
    return nullptr;
  }
  return std::unique_ptr<AlsaWaveDevice>(
      new AlsaWaveDevice(*alsa, pcm, format, completions, wakeFd));
}

AlsaWaveDevice::AlsaWaveDevice(const AlsaLibrary& alsa, snd_pcm_t* pcm, const PcmFormat& format,
                               MessageTarget* completions, int wakeFd)
    : QueuedWaveDevice(completions), m_alsa(alsa), m_format(format), m_wakeFd(wakeFd), m_pcm(pcm) {
  startWorker();
}

AlsaWaveDevice::~AlsaWaveDevice() {
  close();
  ::close(m_wakeFd);
}

void AlsaWaveDevice::wakeWorker() {
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(m_wakeFd, &one, sizeof one);
}

void AlsaWaveDevice::release() {
  m_alsa.pcm_close(m_pcm);
  m_pcm = nullptr;
}

// Carries out pause, restart and reset on the PCM (writer thread).
void AlsaWaveDevice::applyRequests() {
  bool paused;
  uint64_t resets;
  {
    std::lock_guard guard(m_mutex);
    paused = m_paused;
    resets = m_resets;
  }
  if (resets != m_resetsDone) {
    m_resetsDone = resets;
    m_alsa.pcm_drop(m_pcm);
    m_alsa.pcm_prepare(m_pcm);
    m_pcmPaused = false;
  }
  if (paused != m_pcmPaused) {
    // A PCM that cannot pause drops what it holds and starts again on restart.
    if (m_alsa.pcm_pause(m_pcm, paused ? 1 : 0) < 0 && paused) m_alsa.pcm_drop(m_pcm);
    if (!paused && m_alsa.pcm_state(m_pcm) == SND_PCM_STATE_SETUP) m_alsa.pcm_prepare(m_pcm);
    m_pcmPaused = paused;
  }
}

void AlsaWaveDevice::run() {
  for (;;) {
    Pending buffer;
    uint64_t resets;
    {
      std::unique_lock lock(m_mutex);
      m_changed.wait(lock, [this] {
        return m_closing || m_resets != m_resetsDone || m_paused != m_pcmPaused ||
               (!m_queue.empty() && !m_paused);
      });
      if (m_closing) {
        m_alsa.pcm_drop(m_pcm);
        return;
      }
      if (m_queue.empty() || m_paused || m_resets != m_resetsDone) {
        lock.unlock();
        applyRequests();
        continue;
      }
      buffer = m_queue.front();
      m_queue.pop_front();
      resets = m_resets;
    }
    // Written whole, or cut short by a reset or close: either way it comes back now.
    writeBuffer(buffer, resets);
    done(buffer);
  }
}

void AlsaWaveDevice::writeBuffer(const Pending& buffer, uint64_t resets) {
  m_scratch.assign(buffer.data, buffer.data + buffer.bytes);
  WaveVolume::apply(WaveVolume::get(), m_format, m_scratch.data(), buffer.bytes);
  const uint32_t frameBytes = std::max<uint32_t>(1, m_format.frameBytes());
  snd_pcm_uframes_t left = buffer.bytes / frameBytes;
  const uint8_t* at = m_scratch.data();
  while (left > 0) {
    applyRequests();
    {
      std::lock_guard guard(m_mutex);
      if (m_closing || m_resets != resets) return;
    }
    if (m_pcmPaused) {
      if (!waitForRoom(resets)) return;
      continue;
    }
    const snd_pcm_sframes_t n = m_alsa.pcm_writei(m_pcm, at, left);
    if (n == -EAGAIN) {
      if (!waitForRoom(resets)) return;
    } else if (n < 0) {
      if (m_alsa.pcm_recover(m_pcm, static_cast<int>(n), 1) < 0) return;  // the rest is dropped
    } else {
      at += static_cast<size_t>(n) * frameBytes;
      left -= static_cast<snd_pcm_uframes_t>(n);
    }
  }
}

// Sleeps until the PCM has room or a request arrives; false on reset or close.
bool AlsaWaveDevice::waitForRoom(uint64_t resets) {
  const int count = m_alsa.pcm_poll_descriptors_count(m_pcm);
  std::vector<pollfd> fds(static_cast<size_t>(std::max(count, 0)) + 1);
  fds[0] = pollfd{m_wakeFd, POLLIN, 0};
  if (count > 0) m_alsa.pcm_poll_descriptors(m_pcm, fds.data() + 1, static_cast<unsigned>(count));
  const int timeoutMs = m_pcmPaused ? -1 : 1000;
  ::poll(fds.data(), fds.size(), timeoutMs);
  uint64_t drained;
  while (::read(m_wakeFd, &drained, sizeof drained) > 0) {
  }
  std::lock_guard guard(m_mutex);
  return !m_closing && m_resets == resets;
}

}  // namespace orvel
