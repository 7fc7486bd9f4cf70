// The PLS playlist reader. The first byte's top bit is the append flag; the rest is the file.

#include "library/PlsPlaylist.h"
#include "platform/FilePath.h"
#include "tests/fuzz/LibraryChecks.h"
#include "tests/fuzz/ScratchFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool append = data[0] & 0x80;
  const std::string path = orvel::fuzz::writeScratch("in.pls", data + 1, size - 1);
  orvel::PlsPlaylist playlist;
  if (playlist.Load(orvel::fromFsPath(path), append)) orvel::fuzz::checkLibrary(playlist);
  return 0;
}
