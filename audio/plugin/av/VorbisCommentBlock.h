#pragma once
// The comment block that Ogg Opus (after "OpusTags") and FLAC (metadata block 4) carry:
// a vendor string and a list of "KEY=value" entries, lengths little-endian 32-bit.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orvel {

class VorbisCommentBlock {
 public:
  // The entries of the block at `data`; stops at the first entry that would run past the end,
  // so a damaged block gives the entries before the damage.
  static std::vector<std::string> parse(const uint8_t* data, size_t size);
};

}  // namespace orvel
