#include "SegmentFeeding.h"

#include <fstream>
#include <iterator>
#include <random>

#include "engine/hls/AudioFrameHeader.h"

namespace orvel::test {

Bytes loadFixture(const std::string& name) {
  std::ifstream file(std::string(ORVEL_HLS_FIXTURES) + "/" + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<Bytes> loadSegments(const std::string& playlist) {
  std::ifstream file(std::string(ORVEL_HLS_FIXTURES) + "/" + playlist);
  std::vector<Bytes> segments;
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line[0] != '#') segments.push_back(loadFixture(line));
  }
  return segments;
}

Demuxed feedSegments(SegmentDemuxer& demuxer, const std::vector<Bytes>& segments, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<size_t> pieceBytes(1, 3000);
  Demuxed result;
  for (const Bytes& segment : segments) {
    result.segmentStarts.push_back(result.bytes.size());
    for (size_t at = 0; at < segment.size();) {
      const size_t piece = std::min(seed == 0 ? 1 : pieceBytes(random), segment.size() - at);
      result.readable = demuxer.feed(segment.data() + at, piece, result.bytes) && result.readable;
      at += piece;
    }
    result.readable = demuxer.endSegment(result.bytes) && result.readable;
    for (SegmentDemuxer::Title& title : demuxer.takeTitles()) {
      result.titles.push_back(std::move(title));
    }
  }
  return result;
}

bool splitFrames(const Bytes& stream, std::vector<Bytes>& frames) {
  frames.clear();
  size_t at = 0;
  while (at + AudioFrameHeader::kMeasureBytes <= stream.size()) {
    uint32_t frameBytes = 0;
    if (AudioFrameHeader::measure(stream.data() + at, frameBytes) ==
            AudioFrameHeader::Kind::kNone ||
        frameBytes > stream.size() - at) {
      return false;
    }
    frames.emplace_back(stream.begin() + static_cast<std::ptrdiff_t>(at),
                        stream.begin() + static_cast<std::ptrdiff_t>(at + frameBytes));
    at += frameBytes;
  }
  return at == stream.size();
}

bool isSubsequence(const std::vector<Bytes>& part, const std::vector<Bytes>& whole) {
  size_t at = 0;
  for (const Bytes& frame : part) {
    while (at < whole.size() && whole[at] != frame) ++at;
    if (at == whole.size()) return false;
    ++at;
  }
  return true;
}

}  // namespace orvel::test
