#pragma once
// Runs a segment reader over the fuzzer's bytes twice: each segment fed whole, and fed in pieces
// of random sizes. The input is a split seed byte, then parts separated by "=SEG=" (for fMP4 the
// first part is the initialization section). Both runs must give the same audio, titles and
// verdicts, and AAC or transport stream output must be whole frames end to end.

#include <cstdlib>
#include <random>
#include <string_view>
#include <vector>

#include "engine/hls/AudioFrameHeader.h"
#include "engine/hls/SegmentDemuxer.h"

namespace orvel::fuzz {

struct SegmentRun {
  std::vector<uint8_t> out;
  std::vector<SegmentDemuxer::Title> titles;
  std::vector<bool> readable;  // per segment
  std::string format;
};

inline std::vector<std::vector<uint8_t>> splitParts(const uint8_t* data, size_t size) {
  constexpr std::string_view kMarker = "=SEG=";
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  std::vector<std::vector<uint8_t>> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = all.find(kMarker, start);
    const size_t stop = end == std::string_view::npos ? size : end;
    parts.emplace_back(data + start, data + stop);
    if (end == std::string_view::npos) return parts;
    start = end + kMarker.size();
  }
}

inline SegmentRun runSegments(SegmentDemuxer::Container container,
                              const std::vector<std::vector<uint8_t>>& parts, unsigned seed) {
  std::mt19937 random(seed);
  SegmentRun run;
  std::unique_ptr<SegmentDemuxer> demuxer = SegmentDemuxer::create(container);
  size_t first = 0;
  if (container == SegmentDemuxer::Container::kFragmentedMp4) {
    demuxer->setInit(parts[0].data(), parts[0].size());
    first = 1;
  }
  for (size_t p = first; p < parts.size(); ++p) {
    const std::vector<uint8_t>& segment = parts[p];
    bool readable = true;
    for (size_t at = 0; at < segment.size();) {
      const size_t piece = seed == 0 ? segment.size() : 1 + random() % 700;
      const size_t bytes = std::min(piece, segment.size() - at);
      const size_t before = run.out.size();
      readable = demuxer->feed(segment.data() + at, bytes, run.out) && readable;
      if (run.out.size() < before) std::abort();
      at += bytes;
    }
    run.readable.push_back(demuxer->endSegment(run.out) && readable);
    for (SegmentDemuxer::Title& title : demuxer->takeTitles()) run.titles.push_back(title);
  }
  run.format = demuxer->formatName();
  return run;
}

inline bool wholeFrames(const std::vector<uint8_t>& out) {
  size_t at = 0;
  while (at + AudioFrameHeader::kMeasureBytes <= out.size()) {
    uint32_t frameBytes = 0;
    if (AudioFrameHeader::measure(out.data() + at, frameBytes) == AudioFrameHeader::Kind::kNone) {
      return false;
    }
    at += frameBytes;
  }
  return at == out.size();
}

inline void checkSegments(SegmentDemuxer::Container container, const uint8_t* data, size_t size) {
  if (size < 1) return;
  const std::vector<std::vector<uint8_t>> parts = splitParts(data + 1, size - 1);
  const SegmentRun whole = runSegments(container, parts, 0);
  const SegmentRun pieces = runSegments(container, parts, data[0] + 1u);
  if (whole.out != pieces.out || whole.readable != pieces.readable ||
      whole.format != pieces.format || whole.titles.size() != pieces.titles.size()) {
    std::abort();
  }
  for (size_t i = 0; i < whole.titles.size(); ++i) {
    if (whole.titles[i].offset != pieces.titles[i].offset ||
        whole.titles[i].text != pieces.titles[i].text) {
      std::abort();
    }
  }
  const bool framed = container == SegmentDemuxer::Container::kMpegTs || whole.format == "aac";
  if (framed && !wholeFrames(whole.out)) std::abort();
}

}  // namespace orvel::fuzz
