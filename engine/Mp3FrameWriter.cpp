#include "engine/Mp3FrameWriter.h"

#include <algorithm>

#include "audio/Mp3FrameHeader.h"

namespace orvel {
namespace {

// Sync, version, layer and sample rate stay the same from frame to frame; the bitrate,
// padding, protection and channel mode may change.
constexpr uint32_t kStreamMask = 0xFFFE0C00;
constexpr size_t kHeaderBytes = 4;

}  // namespace

void Mp3FrameWriter::start(DataStream* file) {
  m_file = file;
  m_held.clear();
  m_synced = false;
}

void Mp3FrameWriter::splice() {
  m_held.clear();
  m_synced = false;
}

bool Mp3FrameWriter::headerAt(size_t at, uint32_t& frameBytes, uint32_t& word) const {
  if (m_held.size() - at < kHeaderBytes) return false;
  word = uint32_t{m_held[at]} << 24 | uint32_t{m_held[at + 1]} << 16 |
         uint32_t{m_held[at + 2]} << 8 | m_held[at + 3];
  Mp3FrameHeader header;
  if (!Mp3FrameHeader::parse(word, header)) return false;
  frameBytes = header.frameBytes;
  return true;
}

// From `at` on: the first header whose frame is followed by a header of the same stream.
// kNeedMore leaves `at` at a candidate that more bytes will decide on.
Mp3FrameWriter::Search Mp3FrameWriter::findSync(size_t& at) const {
  for (; at + kHeaderBytes <= m_held.size(); ++at) {
    uint32_t frameBytes = 0;
    uint32_t word = 0;
    if (!headerAt(at, frameBytes, word)) continue;
    const size_t next = at + frameBytes;
    if (next + kHeaderBytes > m_held.size()) return Search::kNeedMore;
    uint32_t nextBytes = 0;
    uint32_t nextWord = 0;
    if (headerAt(next, nextBytes, nextWord) && (word & kStreamMask) == (nextWord & kStreamMask)) {
      return Search::kFound;
    }
  }
  return Search::kNone;
}

// Moves `at` to a verified sync and locks on its stream; false when the held bytes hold none
// yet (`at` then marks the first byte worth keeping).
bool Mp3FrameWriter::seekSync(size_t& at) {
  const Search found = findSync(at);
  if (found == Search::kNone) {
    at = m_held.size() - std::min(m_held.size(), kHeaderBytes - 1);
    return false;
  }
  if (found == Search::kNeedMore) return false;
  uint32_t frameBytes = 0;
  uint32_t word = 0;
  headerAt(at, frameBytes, word);
  m_streamBits = word & kStreamMask;
  m_synced = true;
  return true;
}

void Mp3FrameWriter::write(const uint8_t* bytes, uint32_t length) {
  if (m_file == nullptr || length == 0) return;
  m_held.insert(m_held.end(), bytes, bytes + length);
  size_t at = 0;
  for (;;) {
    if (!m_synced && !seekSync(at)) break;
    if (m_held.size() - at < kHeaderBytes) break;
    uint32_t frameBytes = 0;
    uint32_t word = 0;
    if (!headerAt(at, frameBytes, word) || (word & kStreamMask) != m_streamBits) {
      m_synced = false;
      ++at;
      continue;
    }
    if (m_held.size() - at < frameBytes) break;
    m_file->Write(m_held.data() + at, static_cast<int32_t>(frameBytes));
    at += frameBytes;
  }
  m_held.erase(m_held.begin(), m_held.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace orvel
