#include "engine/hls/SegmentDemuxer.h"

#include <cstring>

#include "engine/hls/Fmp4Demuxer.h"
#include "engine/hls/PackedAudioDemuxer.h"
#include "engine/hls/TsDemuxer.h"

namespace orvel {
namespace {

constexpr size_t kTsPacketBytes = 188;
constexpr uint8_t kTsSync = 0x47;

bool isMp4Box(const uint8_t* data, size_t size) {
  if (size < 8) return false;
  static constexpr const char* kTypes[] = {"ftyp", "styp", "moof", "sidx", "moov", "emsg", "prft"};
  for (const char* type : kTypes) {
    if (std::memcmp(data + 4, type, 4) == 0) return true;
  }
  return false;
}

}  // namespace

SegmentDemuxer::Container SegmentDemuxer::detect(const uint8_t* data, size_t size) {
  if (size > 0 && data[0] == kTsSync &&
      (size <= kTsPacketBytes || data[kTsPacketBytes] == kTsSync) &&
      (size <= 2 * kTsPacketBytes || data[2 * kTsPacketBytes] == kTsSync)) {
    return Container::kMpegTs;
  }
  if (isMp4Box(data, size)) return Container::kFragmentedMp4;
  return Container::kPackedAudio;
}

std::unique_ptr<SegmentDemuxer> SegmentDemuxer::create(Container container) {
  switch (container) {
    case Container::kPackedAudio:
      return std::make_unique<PackedAudioDemuxer>();
    case Container::kMpegTs:
      return std::make_unique<TsDemuxer>();
    case Container::kFragmentedMp4:
      return std::make_unique<Fmp4Demuxer>();
  }
  return nullptr;
}

}  // namespace orvel
