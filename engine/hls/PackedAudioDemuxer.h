#pragma once
// Packed audio segments: ADTS or MPEG audio frames as they are, with an ID3v2 tag at the start
// (its timestamp PRIV frame, sometimes a title) and maybe more tags between frames. The frames
// pass through; the tags give titles.
//
// Used by one thread at a time (the stream's reader thread); no lock.

#include "engine/hls/FrameSplitter.h"
#include "engine/hls/SegmentDemuxer.h"

namespace orvel {

class PackedAudioDemuxer : public SegmentDemuxer {
 public:
  bool setInit(const uint8_t* data, size_t size) override;
  bool feed(const uint8_t* data, size_t size, std::vector<uint8_t>& out) override;
  bool endSegment(std::vector<uint8_t>& out) override;
  std::string formatName() const override { return m_frames.formatName(); }
  std::vector<Title> takeTitles() override { return m_frames.takeTitles(); }

 private:
  FrameSplitter m_frames;
};

}  // namespace orvel
