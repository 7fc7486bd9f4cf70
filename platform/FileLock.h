#pragma once
// An advisory lock on a lock file (flock), held for the object's lifetime.
// Serialises processes, not threads: threads of one process must use their own mutex.

#include <string>

namespace orvel {

class FileLock {
 public:
  enum class Mode { Shared, Exclusive };

  // Blocks until the lock is held; creates the lock file when missing.
  FileLock(const std::string& lockPath, Mode mode);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // False when the lock file could not be opened; the caller goes on unlocked.
  bool held() const { return m_fd >= 0; }

 private:
  int m_fd = -1;
};

}  // namespace orvel
