#pragma once
// Helpers of the segment reader tests: the fixture segments, feeding a reader in random pieces,
// and cutting an elementary stream into its frames.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/hls/SegmentDemuxer.h"

namespace orvel::test {

using Bytes = std::vector<uint8_t>;

Bytes loadFixture(const std::string& name);
// The segments a fixture playlist names, in order.
std::vector<Bytes> loadSegments(const std::string& playlist);

struct Demuxed {
  Bytes bytes;
  std::vector<SegmentDemuxer::Title> titles;
  std::vector<uint64_t> segmentStarts;  // output bytes before each segment
  bool readable = true;                 // no feed or end said the segment could not be read
};

// Feeds every segment in pieces of random length from 1 to 3000 bytes (all of 1 byte when
// `seed` is 0) and ends each one.
Demuxed feedSegments(SegmentDemuxer& demuxer, const std::vector<Bytes>& segments, unsigned seed);
// The frames of an elementary stream; false when its bytes are not whole frames end to end.
bool splitFrames(const Bytes& stream, std::vector<Bytes>& frames);
// Whether every frame of `part` is a frame of `whole`, in the same order.
bool isSubsequence(const std::vector<Bytes>& part, const std::vector<Bytes>& whole);

}  // namespace orvel::test
