#include "audio/FrameSync.h"

#include "audio/Mp3FrameHeader.h"

namespace orvel {
namespace {

// MPEG audio: sync, version, layer and sample rate stay the same from frame to frame; the
// bitrate, padding, protection and channel mode may change.
constexpr uint32_t kMp3StreamMask = 0xFFFE0C00;
// ADTS: sync, version, layer, profile, sample rate and channels stay; protection, the private
// bit and the lengths may change.
constexpr uint32_t kAdtsStreamMask = 0xFFFEFDC0;
constexpr uint32_t kAdtsSampleRates = 13;

uint32_t wordAt(const uint8_t* bytes) {
  return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

bool parseAdts(const uint8_t* bytes, uint32_t& frameBytes, uint32_t& streamBits) {
  const uint32_t word = wordAt(bytes);
  // Sync 0xFFF and layer 0; a layer other than 0 is an MPEG audio header.
  if ((word & 0xFFF60000) != 0xFFF00000) return false;
  if (((word >> 10) & 0x0F) >= kAdtsSampleRates) return false;
  const bool crc = (word & 0x00010000) == 0;
  frameBytes = (uint32_t{bytes[3]} & 0x03) << 11 | uint32_t{bytes[4]} << 3 | bytes[5] >> 5;
  if (frameBytes < (crc ? 9u : 7u)) return false;
  streamBits = word & kAdtsStreamMask;
  return true;
}

}  // namespace

size_t FrameSync::headerBytes(FrameKind kind) { return kind == FrameKind::kMp3 ? 4 : 7; }

bool FrameSync::parse(FrameKind kind, const uint8_t* bytes, uint32_t& frameBytes,
                      uint32_t& streamBits) {
  if (kind == FrameKind::kAdts) return parseAdts(bytes, frameBytes, streamBits);
  const uint32_t word = wordAt(bytes);
  Mp3FrameHeader header;
  if (!Mp3FrameHeader::parse(word, header)) return false;
  frameBytes = header.frameBytes;
  streamBits = word & kMp3StreamMask;
  return true;
}

FrameSync::Search FrameSync::find(FrameKind kind, const uint8_t* bytes, size_t size, size_t& at) {
  const size_t header = headerBytes(kind);
  for (; at + header <= size; ++at) {
    uint32_t frameBytes = 0;
    uint32_t bits = 0;
    if (!parse(kind, bytes + at, frameBytes, bits)) continue;
    const size_t next = at + frameBytes;
    if (next + header > size) return Search::kNeedMore;
    uint32_t nextBytes = 0;
    uint32_t nextBits = 0;
    if (parse(kind, bytes + next, nextBytes, nextBits) && nextBits == bits) return Search::kFound;
  }
  return Search::kNone;
}

}  // namespace orvel
