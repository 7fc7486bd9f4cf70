#include "engine/hls/AudioFrameHeader.h"

#include "audio/Mp3FrameHeader.h"

namespace orvel {
namespace {

constexpr unsigned kAdtsSampleRates = 13;
constexpr unsigned kAacLc = 2;

uint32_t wordAt(const uint8_t* bytes) {
  return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

}  // namespace

AudioFrameHeader::Kind AudioFrameHeader::measure(const uint8_t* bytes, uint32_t& frameBytes) {
  const uint32_t word = wordAt(bytes);
  // Sync 0xFFF and layer 0 is ADTS; another layer makes it an MPEG audio header.
  if ((word & 0xFFF60000) == 0xFFF00000) {
    if (((word >> 10) & 0x0F) >= kAdtsSampleRates) return Kind::kNone;
    const bool crc = (word & 0x00010000) == 0;
    frameBytes = (uint32_t{bytes[3]} & 0x03) << 11 | uint32_t{bytes[4]} << 3 | bytes[5] >> 5;
    return frameBytes >= (crc ? 9u : 7u) ? Kind::kAdts : Kind::kNone;
  }
  Mp3FrameHeader header;
  if (!Mp3FrameHeader::parse(word, header) || header.frameBytes <= 4) return Kind::kNone;
  frameBytes = header.frameBytes;
  return Kind::kMpeg;
}

bool AudioFrameHeader::writeAdts(unsigned objectType, unsigned rateIndex, unsigned channelConfig,
                                 size_t payloadBytes, uint8_t* out) {
  const size_t frameBytes = payloadBytes + kAdtsBytes;
  if (frameBytes > kMaxAdtsFrameBytes || rateIndex >= kAdtsSampleRates) return false;
  const unsigned profile = (objectType >= 1 && objectType <= 4 ? objectType : kAacLc) - 1;
  const auto length = static_cast<unsigned>(frameBytes);
  out[0] = 0xFF;
  out[1] = 0xF1;  // MPEG-4, layer 0, no CRC
  out[2] = static_cast<uint8_t>(profile << 6 | rateIndex << 2 | (channelConfig >> 2 & 1));
  out[3] = static_cast<uint8_t>((channelConfig & 3) << 6 | length >> 11);
  out[4] = static_cast<uint8_t>(length >> 3 & 0xFF);
  out[5] = static_cast<uint8_t>((length & 7) << 5 | 0x1F);  // buffer fullness 0x7FF: variable
  out[6] = 0xFC;                                            // ... and one raw data block
  return true;
}

}  // namespace orvel
