#include "platform/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace orvel {

FileLock::FileLock(const std::string& lockPath, Mode mode) {
  m_fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (m_fd < 0) return;
  const int op = mode == Mode::Shared ? LOCK_SH : LOCK_EX;
  while (::flock(m_fd, op) != 0) {
    if (errno != EINTR) {
      ::close(m_fd);
      m_fd = -1;
      return;
    }
  }
}

FileLock::~FileLock() {
  if (m_fd >= 0) {
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
  }
}

}  // namespace orvel
