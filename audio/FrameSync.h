#pragma once
// Frame headers of the two framed stream formats, MPEG audio and ADTS (AAC), and the search for a
// verified sync: a header whose frame is followed by another header of the same stream. The
// recording writes whole frames from such a sync on, and a stream without a usable content type
// is recognised by one. Pure functions; any thread.

#include <cstddef>
#include <cstdint>

namespace orvel {

enum class FrameKind : uint8_t { kMp3, kAdts };

class FrameSync {
 public:
  enum class Search : uint8_t { kFound, kNeedMore, kNone };

  static constexpr size_t kMaxHeaderBytes = 7;

  // The bytes a header needs before it can be parsed: 4 for MPEG audio, 7 for ADTS.
  static size_t headerBytes(FrameKind kind);
  // Parses the header at `bytes` (at least headerBytes(kind) of them): the whole frame's length,
  // header included, and the header bits every frame of its stream shares. False when it is not
  // a valid header.
  static bool parse(FrameKind kind, const uint8_t* bytes, uint32_t& frameBytes,
                    uint32_t& streamBits);
  // From `at` on within `size` bytes: the first header whose frame is followed by a header of the
  // same stream. kNeedMore leaves `at` at a candidate that more bytes will decide on.
  static Search find(FrameKind kind, const uint8_t* bytes, size_t size, size_t& at);
};

}  // namespace orvel
