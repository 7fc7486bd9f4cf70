// The library file reader. The first byte's top bit is the append flag; the rest is the file.
// Besides not crashing, a library read with the append flag must come back unchanged after one
// save: what the reader took in, the writer gives back.

#include <cstdlib>

#include "library/RrdFile.h"
#include "platform/FilePath.h"
#include "tests/fuzz/LibraryChecks.h"
#include "tests/fuzz/ScratchFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool append = data[0] & 0x80;
  const std::string path = orvel::fuzz::writeScratch("in.rrd", data + 1, size - 1);
  orvel::RrdFile file;
  if (!file.Load(orvel::fromFsPath(path), append)) return 0;
  orvel::fuzz::checkLibrary(file);
  if (!append) return 0;
  const orvel::Bytes first = file.serialize();
  const std::string again = orvel::fuzz::writeScratch("again.rrd", first.data(), first.size());
  orvel::RrdFile reread;
  if (!reread.Load(orvel::fromFsPath(again), true)) std::abort();
  if (reread.serialize() != first) std::abort();
  return 0;
}
