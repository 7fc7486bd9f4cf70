#pragma once
// A PCM format as the wave device sees it, and the twelve standard formats whose support a
// device announces as capability bits (bit i for row i).

#include <cstdint>

namespace orvel {

struct PcmFormat {
  uint16_t channels = 0;
  uint32_t rate = 0;  // frames per second
  uint16_t bits = 0;  // per sample: 8 (unsigned) or 16 (signed, little endian)

  uint32_t frameBytes() const { return channels * bits / 8u; }
  uint32_t bytesPerSecond() const { return rate * frameBytes(); }
  bool operator==(const PcmFormat&) const = default;
};

inline constexpr PcmFormat kStandardFormats[12] = {
    {1, 11025, 8}, {2, 11025, 8}, {1, 11025, 16}, {2, 11025, 16},
    {1, 22050, 8}, {2, 22050, 8}, {1, 22050, 16}, {2, 22050, 16},
    {1, 44100, 8}, {2, 44100, 8}, {1, 44100, 16}, {2, 44100, 16},
};
inline constexpr uint32_t kAllStandardFormats = 0xFFF;

// The capability bit of a standard format; 0 for any other format.
inline uint32_t capabilityBitOf(const PcmFormat& format) {
  for (int i = 0; i < 12; ++i) {
    if (kStandardFormats[i] == format) return 1u << i;
  }
  return 0;
}

}  // namespace orvel
