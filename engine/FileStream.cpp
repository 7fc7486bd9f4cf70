#include "engine/FileStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace orvel {

FileStream::FileStream(const std::string& path, bool readOnly) {
  const int flags = readOnly ? O_RDONLY : (O_RDWR | O_CREAT);
  m_fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
  if (m_fd >= 0) {
    struct stat info {};
    // A folder opens read-only but is no stream.
    if (::fstat(m_fd, &info) != 0 || S_ISDIR(info.st_mode)) {
      ::close(m_fd);
      m_fd = -1;
    }
  }
}

FileStream::~FileStream() {
  if (m_fd >= 0) ::close(m_fd);
}

int32_t FileStream::Read(void* buffer, int32_t size) {
  if (m_fd < 0 || size <= 0) return 0;
  auto* out = static_cast<uint8_t*>(buffer);
  int32_t total = 0;
  while (total < size) {
    const ssize_t got = ::read(m_fd, out + total, static_cast<size_t>(size - total));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    total += static_cast<int32_t>(got);
  }
  return total;
}

int32_t FileStream::ReadChunk(const uint8_t** data, uint32_t* /*spare*/) {
  if (data == nullptr) return 0;
  m_chunk.resize(kChunkBytes);
  const int32_t got = Read(m_chunk.data(), kChunkBytes);
  *data = got > 0 ? m_chunk.data() : nullptr;
  return got;
}

int32_t FileStream::Write(const void* buffer, int32_t size) {
  if (m_fd < 0 || size <= 0) return 0;
  const auto* in = static_cast<const uint8_t*>(buffer);
  int32_t total = 0;
  while (total < size) {
    const ssize_t put = ::write(m_fd, in + total, static_cast<size_t>(size - total));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) break;
    total += static_cast<int32_t>(put);
  }
  return total;
}

int64_t FileStream::Seek(int64_t offset, SeekOrigin origin) {
  if (m_fd < 0) return -1;
  const int whence = origin == kFromStart ? SEEK_SET : origin == kFromCurrent ? SEEK_CUR : SEEK_END;
  const off_t result = ::lseek(m_fd, static_cast<off_t>(offset), whence);
  return result < 0 ? -1 : static_cast<int64_t>(result);
}

int64_t FileStream::GetPosition() {
  if (m_fd < 0) return -1;
  return static_cast<int64_t>(::lseek(m_fd, 0, SEEK_CUR));
}

int64_t FileStream::GetSize() {
  struct stat info {};
  if (m_fd < 0 || ::fstat(m_fd, &info) != 0) return -1;
  return static_cast<int64_t>(info.st_size);
}

}  // namespace orvel
