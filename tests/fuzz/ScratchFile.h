#pragma once
// A scratch folder for the readers that take a path: made on first use, removed when the run
// ends (libFuzzer leaves through exit(), which runs static destructors).

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace orvel::fuzz {

inline const std::string& scratchFolder() {
  static const struct Folder {
    std::string path = [] {
      // In memory when the machine offers it: a disk write per input slows the run down.
      const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
      std::string pattern = std::string(base) + "/orvel-fuzz-XXXXXX";
      if (!::mkdtemp(pattern.data())) std::abort();
      return pattern;
    }();
    ~Folder() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  } folder;
  return folder.path;
}

// Writes the bytes to name in the scratch folder and gives its path. A plain write: the atomic
// rewrite's flush to disk would slow the run down a hundredfold.
inline std::string writeScratch(const char* name, const void* data, size_t size) {
  std::string path = scratchFolder() + "/" + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file || (size > 0 && std::fwrite(data, 1, size, file) != size) || std::fclose(file) != 0) {
    std::abort();
  }
  return path;
}

}  // namespace orvel::fuzz
