#pragma once
// One MPEG audio frame header (MPEG-1, 2 and 2.5; layers I to III), parsed from its four bytes.

#include <cstdint>

namespace orvel {

struct Mp3FrameHeader {
  uint16_t channels = 0;         // 1 or 2
  uint32_t sampleRate = 0;       // Hz
  uint16_t bitsPerSample = 16;   // always 16
  uint32_t frameBytes = 0;       // the whole frame, header included
  uint32_t samplesPerFrame = 0;  // per channel
  uint32_t sideInfoBytes = 0;    // layer III side information behind the header

  // Parses the header word (first byte in the top bits); false when it is not a valid header.
  static bool parse(uint32_t word, Mp3FrameHeader& header);
};

}  // namespace orvel
