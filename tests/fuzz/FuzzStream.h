#pragma once
// A DataStream over the fuzzer's bytes: handed out in chunks of a chosen size, seekable like a
// file or not at all like the network (size -1).

#include <algorithm>
#include <cstring>
#include <vector>

#include "audio/DataStream.h"

namespace orvel::fuzz {

class FuzzStream : public DataStream {
 public:
  FuzzStream(const uint8_t* data, size_t size, size_t chunkBytes, bool seekable)
      : m_bytes(data, data + size), m_chunkBytes(std::max<size_t>(chunkBytes, 1)),
        m_seekable(seekable) {}
  ~FuzzStream() override = default;

  int32_t IsOpen() override { return 1; }
  int32_t Read(void* buffer, int32_t size) override {
    if (size <= 0) return 0;
    const size_t n = std::min<size_t>(static_cast<size_t>(size), m_bytes.size() - m_position);
    if (n > 0) std::memcpy(buffer, m_bytes.data() + m_position, n);
    m_position += n;
    return static_cast<int32_t>(n);
  }
  // Each chunk is a fresh allocation of its exact size, so a read past it is caught.
  int32_t ReadChunk(const uint8_t** data, uint32_t*) override {
    const size_t n = std::min(m_chunkBytes, m_bytes.size() - m_position);
    m_chunk.assign(m_bytes.begin() + static_cast<ptrdiff_t>(m_position),
                   m_bytes.begin() + static_cast<ptrdiff_t>(m_position + n));
    m_chunk.shrink_to_fit();
    *data = m_chunk.data();
    m_position += n;
    return static_cast<int32_t>(n);
  }
  int32_t Write(const void*, int32_t) override { return 0; }
  int64_t Seek(int64_t offset, SeekOrigin origin) override {
    if (!m_seekable) return -1;
    const int64_t base = origin == kFromStart     ? 0
                         : origin == kFromCurrent ? static_cast<int64_t>(m_position)
                                                  : static_cast<int64_t>(m_bytes.size());
    if (offset > INT64_MAX / 2 || offset < INT64_MIN / 2) return -1;
    const int64_t target = base + offset;
    if (target < 0 || target > static_cast<int64_t>(m_bytes.size())) return -1;
    m_position = static_cast<size_t>(target);
    return target;
  }
  int64_t GetPosition() override { return static_cast<int64_t>(m_position); }
  int64_t GetSize() override { return m_seekable ? static_cast<int64_t>(m_bytes.size()) : -1; }
  bool IsAtEnd() override { return m_position >= m_bytes.size(); }
  void Release() override {}

 private:
  std::vector<uint8_t> m_bytes;
  std::vector<uint8_t> m_chunk;
  size_t m_position = 0;
  size_t m_chunkBytes;
  bool m_seekable;
};

}  // namespace orvel::fuzz
