#pragma once
// The two elementary frame formats HLS audio arrives in, ADTS (AAC) and MPEG audio: how long the
// frame starting at a header is, and the ADTS header that turns a raw AAC access unit into a
// frame. Pure functions; any thread.

#include <cstddef>
#include <cstdint>

namespace orvel {

class AudioFrameHeader {
 public:
  enum class Kind : uint8_t { kNone, kAdts, kMpeg };

  // Bytes that measure() needs: an ADTS header is 7, an MPEG audio header 4.
  static constexpr size_t kMeasureBytes = 7;
  static constexpr size_t kAdtsBytes = 7;
  // ADTS can say at most 8191 bytes for a frame, header included.
  static constexpr size_t kMaxAdtsFrameBytes = 8191;

  // The kind of header at `bytes` (kMeasureBytes of them) and its whole frame's length.
  static Kind measure(const uint8_t* bytes, uint32_t& frameBytes);
  // An ADTS header without CRC for `payloadBytes` of raw AAC. ADTS can only name the object types
  // 1 to 4; HE-AAC (5, 29) and anything above 4 is written as its AAC-LC core (2), which is how
  // the decoders expect HE-AAC in ADTS. False when the frame would be too long for ADTS.
  static bool writeAdts(unsigned objectType, unsigned rateIndex, unsigned channelConfig,
                        size_t payloadBytes, uint8_t* out);
};

}  // namespace orvel
