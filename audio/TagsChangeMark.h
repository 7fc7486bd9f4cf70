#pragma once
// Where in the last decoded block a part of the stream with tags of its own began (a new Ogg
// link), kept until the Player asks for it with kControlTagsChanged. Decoding thread only.

#include <cstdint>

namespace orvel {

class TagsChangeMark {
 public:
  // A new part began `offset` bytes into the block being decoded.
  void set(uint32_t offset) {
    m_set = true;
    m_offset = offset;
  }
  // The answer to kControlTagsChanged: 1 once after set, with the offset in *out (uint32_t);
  // else 0.
  int32_t take(void* out) {
    if (!m_set) return 0;
    m_set = false;
    if (out != nullptr) *static_cast<uint32_t*>(out) = m_offset;
    return 1;
  }

 private:
  bool m_set = false;
  uint32_t m_offset = 0;
};

}  // namespace orvel
