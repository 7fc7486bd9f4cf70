#include "engine/hls/PackedAudioDemuxer.h"

namespace orvel {

bool PackedAudioDemuxer::setInit(const uint8_t*, size_t) { return true; }

bool PackedAudioDemuxer::feed(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
  m_frames.push(data, size, out);
  return true;
}

bool PackedAudioDemuxer::endSegment(std::vector<uint8_t>& out) {
  m_frames.endSegment(out);
  return true;
}

}  // namespace orvel
