#pragma once
// Cuts an elementary audio byte stream (ADTS or MPEG audio frames, with ID3v2 tags before or
// between them) into whole frames: frames pass through, tags are taken out and read for titles,
// bytes that are neither are dropped until the next frame that the one after it confirms. The
// packed audio reader is this alone; the transport stream reader runs its audio through it too.
//
// Used by one thread at a time (the stream's reader thread); no lock.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/hls/AudioFrameHeader.h"
#include "engine/hls/SegmentDemuxer.h"

namespace orvel {

class FrameSplitter {
 public:
  // A tag longer than this is skipped unread rather than held.
  static constexpr size_t kMaxTagBytes = size_t{1} << 20;

  // Appends the whole frames that `data` completes to `out`.
  void push(const uint8_t* data, size_t size, std::vector<uint8_t>& out);
  // The end of a segment: a frame cut short there is dropped, since the next segment starts
  // with a frame of its own.
  void endSegment(std::vector<uint8_t>& out);
  // A title found beside the audio, placed `offset` bytes into the output.
  void addTitle(uint64_t offset, std::string text);
  // Bytes were lost: what is held of a frame goes, and the next frame needs confirming.
  void discontinuity();

  uint64_t produced() const { return m_produced; }
  // Where the next byte pushed will be in the output, when it belongs to a frame.
  uint64_t nextOffset() const { return m_produced + m_held.size(); }
  std::string formatName() const;
  std::vector<SegmentDemuxer::Title> takeTitles();

 private:
  enum class Step : uint8_t { kTaken, kNeedMore, kNotHere };

  void split(std::vector<uint8_t>& out, bool atEnd);
  Step takeTag(size_t& at);
  Step takeFrame(size_t& at, bool atEnd, std::vector<uint8_t>& out);

  std::vector<uint8_t> m_held;  // bytes not yet cut: the start of a frame or tag
  size_t m_skip = 0;            // bytes of an oversized tag still to drop
  bool m_lost = false;          // garbage was dropped: the next frame needs confirming
  AudioFrameHeader::Kind m_kind = AudioFrameHeader::Kind::kNone;  // of the first frame
  uint64_t m_produced = 0;  // elementary bytes output since creation
  std::vector<SegmentDemuxer::Title> m_titles;
};

}  // namespace orvel
