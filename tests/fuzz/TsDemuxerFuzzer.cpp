// The transport stream reader: the same output however the segments are split, whole frames only.

#include "SegmentRuns.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orvel::fuzz::checkSegments(orvel::SegmentDemuxer::Container::kMpegTs, data, size);
  return 0;
}
