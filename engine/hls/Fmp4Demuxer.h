#pragma once
// Fragmented MP4 (CMAF) segments: the initialization section names the audio track and its
// AudioSpecificConfig; each fragment's moof says where in the following mdat the track's samples
// lie and how long each is, and every AAC sample goes out as an ADTS frame (MPEG audio samples
// go out as they are). emsg boxes whose message is an ID3 tag give titles.
//
// Boxes are read whole (moof, mdat, emsg; others are skipped as they arrive), so a segment's
// audio comes out when its mdat is complete. Used by one thread at a time (the stream's reader
// thread); no lock.

#include "engine/hls/Mp4AudioTrack.h"
#include "engine/hls/Mp4Box.h"
#include "engine/hls/SegmentDemuxer.h"

namespace orvel {

class Fmp4Demuxer : public SegmentDemuxer {
 public:
  // A box to be read larger than this fails the segment rather than being held.
  static constexpr size_t kMaxBoxBytes = size_t{32} << 20;
  // A fragment naming more samples than this fails the segment.
  static constexpr uint32_t kMaxSamples = 1u << 16;

  bool setInit(const uint8_t* data, size_t size) override;
  bool feed(const uint8_t* data, size_t size, std::vector<uint8_t>& out) override;
  bool endSegment(std::vector<uint8_t>& out) override;
  std::string formatName() const override;
  std::vector<Title> takeTitles() override;

 private:
  struct Sample {
    uint64_t position = 0;  // from the segment's start
    uint32_t bytes = 0;
  };

  bool readBoxes(bool atEnd, std::vector<uint8_t>& out);
  bool readBox(const uint8_t* data, const Mp4Box& box, uint64_t offset, std::vector<uint8_t>& out);
  bool readMoof(const uint8_t* payload, size_t size);
  bool readTraf(const uint8_t* payload, size_t size);
  bool readTrun(const uint8_t* payload, size_t size, uint64_t base, uint64_t& position,
                uint32_t defaultBytes);
  void readMdat(const uint8_t* payload, size_t size, uint64_t start, std::vector<uint8_t>& out);
  void readEmsg(const uint8_t* payload, size_t size);

  bool m_ready = false;  // the initialization section was read
  Mp4AudioTrack m_track;
  bool m_failed = false;          // the current segment cannot be read
  std::vector<uint8_t> m_held;    // the box being collected
  uint64_t m_heldAt = 0;          // its offset in the segment
  uint64_t m_skip = 0;            // bytes of a skipped box still to come
  uint64_t m_moofAt = 0;          // the last moof's offset in the segment
  std::vector<Sample> m_samples;  // named by the last moof, not yet output
  bool m_produced = false;        // a frame went out
  uint64_t m_outBytes = 0;        // elementary bytes output since creation
  std::vector<Title> m_titles;
};

}  // namespace orvel
