#pragma once
// The 44-byte set-up block of a conversion filter (AudioFilter::Init). Little-endian fields at
// fixed offsets; the filter reads only the ones named here.

#include <cstddef>
#include <cstdint>

namespace orvel {

struct FilterProperties {
  uint32_t size = sizeof(FilterProperties);  // must be 44
  uint8_t unused1[20] = {};
  uint8_t quality = 0;  // 0 linear interpolation; 1 and 2 ask for windowed-sinc
  uint8_t unused2[3] = {};
  uint32_t inputRate = 0;
  uint8_t inputBits = 0;
  uint8_t inputChannels = 0;
  uint8_t unused3[2] = {};
  uint32_t outputRate = 0;
  uint8_t outputBits = 0;      // 8 or 16
  uint8_t outputChannels = 0;  // 1 or 2
  uint8_t unused4[2] = {};
};

static_assert(sizeof(FilterProperties) == 44);
static_assert(offsetof(FilterProperties, quality) == 24);
static_assert(offsetof(FilterProperties, inputRate) == 28);
static_assert(offsetof(FilterProperties, outputRate) == 36);
static_assert(offsetof(FilterProperties, outputChannels) == 41);

inline constexpr uint32_t kFilterPropertiesSize = 44;

}  // namespace orvel
