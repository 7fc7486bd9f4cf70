#include "engine/hls/AudioFrameHeader.h"

#include "audio/FrameSync.h"

namespace orvel {
namespace {

constexpr unsigned kAdtsSampleRates = 13;
constexpr unsigned kAacLc = 2;

}  // namespace

AudioFrameHeader::Kind AudioFrameHeader::measure(const uint8_t* bytes, uint32_t& frameBytes) {
  uint32_t streamBits = 0;
  if (FrameSync::parse(FrameKind::kAdts, bytes, frameBytes, streamBits)) return Kind::kAdts;
  // A frame no longer than its header holds no audio: taken for garbage, not a frame.
  if (FrameSync::parse(FrameKind::kMp3, bytes, frameBytes, streamBits) && frameBytes > 4) {
    return Kind::kMpeg;
  }
  return Kind::kNone;
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
