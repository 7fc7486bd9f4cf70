#include "platform/wave/WavFileWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace orvel {
namespace {

void put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void put32(uint8_t* p, uint32_t v) {
  put16(p, v & 0xFFFF);
  put16(p + 2, v >> 16);
}

bool writeAllAt(int fd, const uint8_t* data, size_t size, off_t offset) {
  while (size > 0) {
    const ssize_t n = ::pwrite(fd, data, size, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
    offset += n;
  }
  return true;
}

// A WAV file's sizes are 32-bit: a longer recording keeps its header at the largest size.
constexpr uint64_t kMaxDataBytes = 0xFFFFFFFFull - 36;

}  // namespace

WavFileWriter::~WavFileWriter() { close(); }

bool WavFileWriter::open(const std::string& path, const PcmFormat& format) {
  close();
  m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (m_fd < 0) return false;
  m_format = format;
  m_dataBytes = 0;
  if (!writeHeader()) {
    close();
    return false;
  }
  return true;
}

bool WavFileWriter::writeHeader() {
  uint8_t h[kHeaderBytes];
  const uint32_t data = static_cast<uint32_t>(std::min(m_dataBytes, kMaxDataBytes));
  std::memcpy(h, "RIFF", 4);
  put32(h + 4, 36 + data);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  put32(h + 16, 16);
  put16(h + 20, 1);
  put16(h + 22, m_format.channels);
  put32(h + 24, m_format.rate);
  put32(h + 28, m_format.bytesPerSecond());
  put16(h + 32, m_format.frameBytes());
  put16(h + 34, m_format.bits);
  std::memcpy(h + 36, "data", 4);
  put32(h + 40, data);
  return writeAllAt(m_fd, h, sizeof h, 0);
}

bool WavFileWriter::write(const uint8_t* data, uint32_t bytes) {
  if (m_fd < 0) return false;
  if (!writeAllAt(m_fd, data, bytes, static_cast<off_t>(kHeaderBytes + m_dataBytes))) return false;
  m_dataBytes += bytes;
  return writeHeader();
}

void WavFileWriter::close() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
}

}  // namespace orvel
