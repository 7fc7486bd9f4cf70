#pragma once
// The null and WAV devices (see PacedWaveDevice). Without a capability mask they play any PCM
// format of 8 or 16 bits, 1 or 2 channels, 8000 to 192000 Hz; with one, only the standard
// formats in the mask.

#include <optional>
#include <string>

#include "platform/wave/WaveDriver.h"

namespace orvel {

class PacedWaveDriver : public WaveDriver {
 public:
  // `wavPath` empty: the null device. `realTime` false: wav-fast.
  PacedWaveDriver(std::string wavPath, bool realTime, std::optional<uint32_t> capsMask);

  bool query(const PcmFormat& format) override;
  bool capabilities(uint32_t* bits) override;
  std::unique_ptr<WaveDevice> open(const PcmFormat& format, MessageTarget* completions) override;

 private:
  const std::string m_wavPath;
  const bool m_realTime;
  const std::optional<uint32_t> m_capsMask;
};

}  // namespace orvel
