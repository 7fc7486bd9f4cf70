#pragma once
// One format the registry knows: its names, extensions and what its provider can create.

#include <cstdint>
#include <vector>

#include "platform/Text.h"

namespace orvel {

class CodecProvider;

inline constexpr uint32_t kCodecCanDecode = 0x40000000;
inline constexpr uint32_t kCodecCanEncode = 0x80000000;

struct CodecEntry {
  CodecProvider* provider = nullptr;  // owned by the registry
  WString name;                       // display name, at most 64 characters
  WString shortName;                  // upper case
  std::vector<WString> extensions;
  uint32_t capabilities = 0;
};

}  // namespace orvel
