#include "engine/hls/FrameSplitter.h"

#include <algorithm>
#include <cstring>

#include "engine/hls/Id3Titles.h"

namespace orvel {

void FrameSplitter::push(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
  const size_t skipped = std::min(m_skip, size);
  m_skip -= skipped;
  m_held.insert(m_held.end(), data + skipped, data + size);
  split(out, false);
}

void FrameSplitter::endSegment(std::vector<uint8_t>& out) {
  split(out, true);
  m_held.clear();
  m_skip = 0;
  m_lost = false;
}

void FrameSplitter::addTitle(uint64_t offset, std::string text) {
  if (!text.empty()) m_titles.push_back({offset, std::move(text)});
}

void FrameSplitter::discontinuity() {
  m_held.clear();
  m_skip = 0;
  m_lost = true;
}

std::string FrameSplitter::formatName() const {
  switch (m_kind) {
    case AudioFrameHeader::Kind::kAdts:
      return "aac";
    case AudioFrameHeader::Kind::kMpeg:
      return "mp3";
    case AudioFrameHeader::Kind::kNone:
      break;
  }
  return {};
}

std::vector<SegmentDemuxer::Title> FrameSplitter::takeTitles() {
  std::vector<SegmentDemuxer::Title> titles;
  titles.swap(m_titles);
  return titles;
}

void FrameSplitter::split(std::vector<uint8_t>& out, bool atEnd) {
  size_t at = 0;
  while (m_skip == 0 && at < m_held.size()) {
    Step step = takeTag(at);
    if (step == Step::kNotHere) step = takeFrame(at, atEnd, out);
    if (step == Step::kNeedMore) break;
    if (step == Step::kNotHere) {
      m_lost = true;
      ++at;
    }
  }
  if (m_skip > 0) {
    // An oversized tag: what is held of it goes now, the rest as it arrives.
    const size_t held = std::min(m_skip, m_held.size() - at);
    at += held;
    m_skip -= held;
  }
  m_held.erase(m_held.begin(), m_held.begin() + static_cast<std::ptrdiff_t>(at));
}

FrameSplitter::Step FrameSplitter::takeTag(size_t& at) {
  const size_t left = m_held.size() - at;
  if (m_held[at] != 'I') return Step::kNotHere;
  if (left < Id3Titles::kHeaderBytes) {
    return std::memcmp(m_held.data() + at, "ID3", std::min<size_t>(left, 3)) == 0 ? Step::kNeedMore
                                                                                  : Step::kNotHere;
  }
  const size_t tagBytes = Id3Titles::tagBytes(m_held.data() + at);
  if (tagBytes == 0) return Step::kNotHere;
  if (tagBytes > kMaxTagBytes) {
    m_skip = tagBytes;
    return Step::kTaken;
  }
  if (left < tagBytes) return Step::kNeedMore;
  addTitle(m_produced, Id3Titles::title(m_held.data() + at, tagBytes));
  at += tagBytes;
  return Step::kTaken;
}

FrameSplitter::Step FrameSplitter::takeFrame(size_t& at, bool atEnd, std::vector<uint8_t>& out) {
  const size_t left = m_held.size() - at;
  const uint8_t* bytes = m_held.data() + at;
  if (bytes[0] != 0xFF) return Step::kNotHere;
  if (left < AudioFrameHeader::kMeasureBytes) return atEnd ? Step::kNotHere : Step::kNeedMore;
  uint32_t frameBytes = 0;
  const AudioFrameHeader::Kind kind = AudioFrameHeader::measure(bytes, frameBytes);
  if (kind == AudioFrameHeader::Kind::kNone) return Step::kNotHere;
  if (m_kind != AudioFrameHeader::Kind::kNone && kind != m_kind) return Step::kNotHere;
  if (left < frameBytes) return atEnd ? Step::kNotHere : Step::kNeedMore;
  if (m_lost) {
    // After garbage, a header counts only when another frame or a tag follows its frame.
    if (left < frameBytes + AudioFrameHeader::kMeasureBytes) {
      if (!atEnd) return Step::kNeedMore;
    } else {
      uint32_t nextBytes = 0;
      const uint8_t* next = bytes + frameBytes;
      if (std::memcmp(next, "ID3", 3) != 0 && AudioFrameHeader::measure(next, nextBytes) != kind) {
        return Step::kNotHere;
      }
    }
    m_lost = false;
  }
  m_kind = kind;
  out.insert(out.end(), bytes, bytes + frameBytes);
  m_produced += frameBytes;
  at += frameBytes;
  return Step::kTaken;
}

}  // namespace orvel
