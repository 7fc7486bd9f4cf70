#include "platform/wave/WavFileWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/wave/WavHeader.h"

namespace orvel {
namespace {

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
  const auto header = WavHeader::make(m_format, m_dataBytes);
  return writeAllAt(m_fd, header.data(), header.size(), 0);
}

bool WavFileWriter::write(const uint8_t* data, uint32_t bytes) {
  if (m_fd < 0) return false;
  if (!writeAllAt(m_fd, data, bytes, static_cast<off_t>(WavHeader::kBytes + m_dataBytes)))
    return false;
  m_dataBytes += bytes;
  return writeHeader();
}

void WavFileWriter::close() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
}

}  // namespace orvel
