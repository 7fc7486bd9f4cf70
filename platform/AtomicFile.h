#pragma once
// Whole-file reads and atomic rewrites.
//
// A rewrite goes to a temporary file in the same folder, is flushed to disk, and is renamed
// over the old file, so a crash or a full disk leaves either the old or the new content,
// never a mixture. Thread-safe; concurrent writers of one file must hold a FileLock.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

using Bytes = std::vector<uint8_t>;

// Reads a whole regular file. Nothing when it cannot be opened or read.
std::optional<Bytes> readWholeFile(const std::string& path);

// The lines of a text file without their line ends ("\n" or "\r\n"); none when it cannot be
// read. Reads through plain system calls: no stream library, whose locale set-up alone costs
// the headless player a few hundred KiB.
std::vector<std::string> readTextLines(const std::string& path);

// Writes the data atomically; false (and the old file untouched) on any failure.
bool writeFileAtomically(const std::string& path, const void* data, size_t size);
inline bool writeFileAtomically(const std::string& path, std::string_view data) {
  return writeFileAtomically(path, data.data(), data.size());
}
inline bool writeFileAtomically(const std::string& path, const Bytes& data) {
  return writeFileAtomically(path, data.data(), data.size());
}

// Test hook: when set, writeFileAtomically stops after writing the temporary file and before
// renaming it, as a crash at that moment would, and returns false.
void setAtomicWriteCrashBeforeRenameForTest(bool crash);

// Removes temporary files that an interrupted rewrite of `path` left behind.
void removeStaleTemporaries(const std::string& path);

}  // namespace orvel
