#pragma once
// Finds the next valid frame header in a ByteReader: a byte-wise state machine that, on a
// rejected candidate, re-examines the bytes after its 0xFF so that a header starting inside a
// false candidate is not missed. Also skips the rest of a frame.

#include <cstdint>

#include "audio/ByteReader.h"
#include "audio/Mp3FrameHeader.h"

namespace orvel {

class Mp3HeaderSync {
 public:
  // Leaves the cursor just behind the header's four bytes. Fails when the reader runs dry and
  // the stream says it is at its end (or hands out an empty chunk).
  static bool findHeader(ByteReader& reader, Mp3FrameHeader& header, uint32_t& word);
  // Skips the frame's bytes behind its header; false when a refill came back empty.
  static bool skipFrame(ByteReader& reader, const Mp3FrameHeader& header);
};

}  // namespace orvel
