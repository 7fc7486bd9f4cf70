#include "platform/wave/AlsaWaveDriver.h"

#include "platform/wave/AlsaLibrary.h"
#include "platform/wave/AlsaWaveDevice.h"

namespace orvel {
namespace {

// Tests formats against the PCM's hardware parameters without opening it for playback.
class HardwareProbe {
 public:
  HardwareProbe() : m_alsa(AlsaLibrary::get()) {
    if (m_alsa == nullptr) return;
    if (m_alsa->pcm_open(&m_pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
      m_pcm = nullptr;
    } else if (m_alsa->pcm_hw_params_malloc(&m_params) < 0) {
      m_params = nullptr;
    }
  }
  ~HardwareProbe() {
    if (m_params != nullptr) m_alsa->pcm_hw_params_free(m_params);
    if (m_pcm != nullptr) m_alsa->pcm_close(m_pcm);
  }
  bool ready() const { return m_pcm != nullptr && m_params != nullptr; }

  bool accepts(const PcmFormat& format) {
    if (!ready() || (format.bits != 8 && format.bits != 16)) return false;
    if (m_alsa->pcm_hw_params_any(m_pcm, m_params) < 0) return false;
    // Exact rates only: the plug layer's resampling is not the device playing the format.
    m_alsa->pcm_hw_params_set_rate_resample(m_pcm, m_params, 0);
    const snd_pcm_format_t sample = format.bits == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
    return m_alsa->pcm_hw_params_set_access(m_pcm, m_params, SND_PCM_ACCESS_RW_INTERLEAVED) == 0 &&
           m_alsa->pcm_hw_params_set_format(m_pcm, m_params, sample) == 0 &&
           m_alsa->pcm_hw_params_set_channels(m_pcm, m_params, format.channels) == 0 &&
           m_alsa->pcm_hw_params_test_rate(m_pcm, m_params, format.rate, 0) == 0;
  }

 private:
  const AlsaLibrary* const m_alsa;
  snd_pcm_t* m_pcm = nullptr;
  snd_pcm_hw_params_t* m_params = nullptr;
};

}  // namespace

bool AlsaWaveDriver::query(const PcmFormat& format) { return HardwareProbe().accepts(format); }

bool AlsaWaveDriver::capabilities(uint32_t* bits) {
  HardwareProbe probe;
  if (bits == nullptr || !probe.ready()) return false;
  *bits = 0;
  for (int i = 0; i < 12; ++i) {
    if (probe.accepts(kStandardFormats[i])) *bits |= 1u << i;
  }
  return true;
}

std::unique_ptr<WaveDevice> AlsaWaveDriver::open(const PcmFormat& format,
                                                 MessageTarget* completions) {
  return AlsaWaveDevice::open(format, completions);
}

}  // namespace orvel
