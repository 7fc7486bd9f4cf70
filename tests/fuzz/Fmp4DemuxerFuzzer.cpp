// The fragmented MP4 reader: an initialization section and segments; the same output however
// the segments are split, whole ADTS frames only.

#include "SegmentRuns.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orvel::fuzz::checkSegments(orvel::SegmentDemuxer::Container::kFragmentedMp4, data, size);
  return 0;
}
