#include "engine/FrameWriter.h"

#include <algorithm>

namespace orvel {

void FrameWriter::start(DataStream* file, FrameKind kind) {
  m_file = file;
  m_kind = kind;
  m_held.clear();
  m_synced = false;
}

void FrameWriter::splice() {
  m_held.clear();
  m_synced = false;
}

bool FrameWriter::headerAt(size_t at, uint32_t& frameBytes, uint32_t& streamBits) const {
  if (m_held.size() - at < FrameSync::headerBytes(m_kind)) return false;
  return FrameSync::parse(m_kind, m_held.data() + at, frameBytes, streamBits);
}

// Moves `at` to a verified sync and locks on its stream; false when the held bytes hold none
// yet (`at` then marks the first byte worth keeping).
bool FrameWriter::seekSync(size_t& at) {
  const FrameSync::Search found = FrameSync::find(m_kind, m_held.data(), m_held.size(), at);
  if (found == FrameSync::Search::kNone) {
    at = m_held.size() - std::min(m_held.size(), FrameSync::headerBytes(m_kind) - 1);
    return false;
  }
  if (found == FrameSync::Search::kNeedMore) return false;
  uint32_t frameBytes = 0;
  headerAt(at, frameBytes, m_streamBits);
  m_synced = true;
  return true;
}

void FrameWriter::write(const uint8_t* bytes, uint32_t length) {
  if (m_file == nullptr || length == 0) return;
  m_held.insert(m_held.end(), bytes, bytes + length);
  size_t at = 0;
  for (;;) {
    if (!m_synced && !seekSync(at)) break;
    if (m_held.size() - at < FrameSync::headerBytes(m_kind)) break;
    uint32_t frameBytes = 0;
    uint32_t bits = 0;
    if (!headerAt(at, frameBytes, bits) || bits != m_streamBits) {
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
