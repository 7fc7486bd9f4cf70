#pragma once
// The 44-byte header of a PCM WAV file (RIFF, a 16-byte "fmt " chunk, then "data"), written at
// the start of the file and rewritten once the data's length is known.

#include <array>
#include <cstdint>

#include "platform/wave/PcmFormat.h"

namespace orvel {

class WavHeader {
 public:
  static constexpr uint32_t kBytes = 44;
  // A WAV file's sizes are 32-bit: a longer recording keeps its header at the largest size.
  static constexpr uint64_t kMaxDataBytes = 0xFFFFFFFFull - (kBytes - 8);

  static std::array<uint8_t, kBytes> make(const PcmFormat& format, uint64_t dataBytes);
};

}  // namespace orvel
