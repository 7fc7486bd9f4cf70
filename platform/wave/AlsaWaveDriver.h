#pragma once
// The ALSA "default" PCM as the wave device. Formats are asked for exactly (no resampling by
// ALSA): what the hardware parameters accept is what the device plays.

#include "platform/wave/WaveDriver.h"

namespace orvel {

class AlsaWaveDriver : public WaveDriver {
 public:
  bool query(const PcmFormat& format) override;
  bool capabilities(uint32_t* bits) override;
  std::unique_ptr<WaveDevice> open(const PcmFormat& format, MessageTarget* completions) override;
};

}  // namespace orvel
