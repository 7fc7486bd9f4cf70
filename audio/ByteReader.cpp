#include "audio/ByteReader.h"

#include <algorithm>
#include <cstring>

namespace orvel {

int32_t ByteReader::refill() {
  const uint8_t* data = nullptr;
  const int32_t length = m_source->ReadChunk(&data, &m_spare);
  if (length <= 0 || data == nullptr) {
    m_cursor = m_end = m_chunkStart = nullptr;
    return 0;
  }
  m_cursor = m_chunkStart = data;
  m_end = data + length;
  return length;
}

void ByteReader::reprime() {
  m_cursor = m_end = nullptr;
  refill();
}

bool ByteReader::skip(uint32_t count) {
  while (count > 0) {
    if (m_cursor == m_end && refill() == 0) return false;
    const uint32_t step = std::min(count, available());
    m_cursor += step;
    count -= step;
  }
  return true;
}

uint32_t ByteReader::lookAhead(uint32_t count) {
  while (available() < count) {
    // The next ReadChunk invalidates the current chunk, so its rest is copied first.
    std::vector<uint8_t> joined(m_cursor, m_end);
    const uint8_t* data = nullptr;
    const int32_t length = m_source->ReadChunk(&data, &m_spare);
    if (length <= 0 || data == nullptr) {
      // Only the unread rest was kept: rewinding can go back no further than that.
      m_joined = std::move(joined);
      m_cursor = m_chunkStart = m_joined.data();
      m_end = m_cursor + m_joined.size();
      break;
    }
    joined.insert(joined.end(), data, data + length);
    m_joined = std::move(joined);
    m_cursor = m_joined.data();
    m_end = m_cursor + m_joined.size();
    m_chunkStart = m_end - length;
  }
  return std::min(count, available());
}

int32_t ByteReader::readCallback(uint8_t* destination, int32_t count, ByteReader* reader) {
  int32_t copied = 0;
  while (copied < count) {
    if (reader->m_cursor == reader->m_end && reader->refill() == 0) break;
    const int32_t step = std::min<int32_t>(count - copied, reader->available());
    std::memcpy(destination + copied, reader->m_cursor, step);
    reader->m_cursor += step;
    copied += step;
  }
  return copied;
}

}  // namespace orvel
