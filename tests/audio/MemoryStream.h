#pragma once
// A DataStream over bytes in memory for the decoder tests: chunks of a chosen size, seekable
// like a file or not at all like the network (size -1), and an IsAtEnd that either tells the
// truth or always answers true.

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/DataStream.h"

namespace orvel::test {

class MemoryStream : public DataStream {
 public:
  explicit MemoryStream(std::vector<uint8_t> bytes, size_t chunkBytes = 4096, bool seekable = true)
      : m_bytes(std::move(bytes)), m_chunkBytes(chunkBytes), m_seekable(seekable) {}
  ~MemoryStream() override = default;

  static std::vector<uint8_t> load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  int32_t IsOpen() override { return 1; }
  int32_t Read(void* buffer, int32_t size) override {
    const size_t n = std::min<size_t>(size, m_bytes.size() - m_position);
    if (n > 0) std::memcpy(buffer, m_bytes.data() + m_position, n);
    m_position += n;
    return static_cast<int32_t>(n);
  }
  int32_t ReadChunk(const uint8_t** data, uint32_t*) override {
    const size_t n = std::min(m_chunkBytes, m_bytes.size() - m_position);
    *data = m_bytes.data() + m_position;
    m_position += n;
    ++chunksHandedOut;
    return static_cast<int32_t>(n);
  }
  int32_t Write(const void*, int32_t) override { return 0; }
  int64_t Seek(int64_t offset, SeekOrigin origin) override {
    if (!m_seekable) return -1;
    const int64_t base = origin == kFromStart     ? 0
                         : origin == kFromCurrent ? static_cast<int64_t>(m_position)
                                                  : static_cast<int64_t>(m_bytes.size());
    const int64_t target = base + offset;
    if (target < 0 || target > static_cast<int64_t>(m_bytes.size())) return -1;
    m_position = static_cast<size_t>(target);
    return target;
  }
  int64_t GetPosition() override { return static_cast<int64_t>(m_position); }
  int64_t GetSize() override { return m_seekable ? static_cast<int64_t>(m_bytes.size()) : -1; }
  bool IsAtEnd() override { return alwaysAtEnd || m_position >= m_bytes.size(); }
  void Release() override {}

  bool alwaysAtEnd = false;  // as a network stream whose queue is momentarily empty
  int chunksHandedOut = 0;

 private:
  std::vector<uint8_t> m_bytes;
  size_t m_position = 0;
  size_t m_chunkBytes;
  bool m_seekable;
};

inline std::string fixture(const std::string& name) {
  return std::string(ORVEL_AUDIO_FIXTURES) + "/" + name;
}

}  // namespace orvel::test
