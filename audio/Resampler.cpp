#include "audio/Resampler.h"

#include <algorithm>
#include <cstring>

namespace orvel {

Resampler::Resampler(double factor, int channels)
    : m_factor(factor),
      m_channels(channels),
      m_step(static_cast<uint32_t>(kPhaseOne / factor + 0.5)),
      m_roundLimit(static_cast<int>(factor * kFillFrames) - static_cast<int>(20 * factor)),
      m_history(channels, std::vector<int16_t>(kHistoryFrames, 0)) {}

int Resampler::process(int available, int& consumed, int requested, const int16_t* input,
                       int16_t* output) {
  if (m_firstCall) {
    m_phase = kGuardFrames * kPhaseOne;
    m_firstCall = false;
  }
  const int frames = std::min(available, kFillFrames - kGuardFrames);
  for (int ch = 0; ch < m_channels; ++ch) {
    int16_t* history = m_history[ch].data() + kGuardFrames;
    for (int i = 0; i < frames; ++i) history[i] = input[i * m_channels + ch];
  }
  // Every output frame interpolates between two frames that were given: at high factors the
  // ten guard frames of the request do not always leave room for the right-hand one.
  const int64_t lastLeft = kGuardFrames + frames - 2;
  const int64_t reachable =
      (lastLeft + 1) * static_cast<int64_t>(kPhaseOne) - static_cast<int64_t>(m_phase);
  requested = reachable <= 0
                  ? 0
                  : static_cast<int>(std::min<int64_t>(requested, (reachable - 1) / m_step + 1));
  consumed = 0;
  int produced = 0;
  while (produced < requested && m_roundLimit > 0) {
    const int count = std::min(requested - produced, m_roundLimit);
    uint32_t end = m_phase;
    for (int ch = 0; ch < m_channels; ++ch) {
      const int16_t* x = m_history[ch].data();
      int16_t* y = output + static_cast<size_t>(produced) * m_channels + ch;
      uint32_t t = m_phase;
      for (int n = 0; n < count; ++n, t += m_step, y += m_channels) {
        const uint32_t i = t >> kPhaseBits;
        const int32_t f = static_cast<int32_t>(t & (kPhaseOne - 1));
        const int32_t v =
            (x[i] * (static_cast<int32_t>(kPhaseOne) - f) + x[i + 1] * f + 16384) >> kPhaseBits;
        *y = static_cast<int16_t>(std::clamp(v, -32768, 32767));
      }
      end = t;
    }
    const uint32_t advance = (end >> kPhaseBits) - (m_phase >> kPhaseBits);
    m_phase = end - advance * kPhaseOne;
    for (int ch = 0; ch < m_channels; ++ch) {
      int16_t* x = m_history[ch].data();
      if (advance < static_cast<uint32_t>(kFillFrames)) {
        std::memmove(x, x + advance, (kFillFrames - advance) * sizeof(int16_t));
      }
    }
    produced += count;
    consumed += static_cast<int>(advance);
  }
  return produced;
}

}  // namespace orvel
