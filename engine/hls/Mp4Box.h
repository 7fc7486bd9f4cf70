#pragma once
// One ISO base media file box read from memory: its type, where its payload is and how long it
// is. The size a box claims is checked against the bytes there, never trusted; a 64-bit size
// and size 0 ("to the end of the enclosing space") are understood. Pure functions; any thread.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orvel {

struct Mp4Box {
  enum class Read : uint8_t { kWhole, kNeedMore, kBad };

  char type[4] = {};
  size_t headerBytes = 0;  // 0 while the header itself is cut short
  uint64_t boxBytes = 0;   // header included; 0 while `toEnd`
  bool toEnd = false;      // size 0: the box runs to the end of what holds it

  bool is(std::string_view name) const { return name == std::string_view(type, 4); }

  // The big-endian number in `bytes` bytes (at most 8) at `data`.
  static uint64_t bigEndian(const uint8_t* data, size_t bytes);

  // The box header at `data`, which `size` bytes follow. kWhole when the whole box is there
  // (a box of size 0 takes all `size` bytes), kNeedMore when its header or body is cut short,
  // kBad when its size cannot be true.
  static Read read(const uint8_t* data, size_t size, Mp4Box& box);
  // The first box of type `name` among the boxes in `data` from offset `at` on: its payload, and
  // `at` moved past it. False when there is none or a box before it is damaged.
  static bool find(const uint8_t* data, size_t size, std::string_view name, const uint8_t*& payload,
                   size_t& payloadBytes, size_t& at);
  static bool find(const uint8_t* data, size_t size, std::string_view name, const uint8_t*& payload,
                   size_t& payloadBytes);
};

}  // namespace orvel
