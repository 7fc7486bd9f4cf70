// libFuzzer target for the file readers. The first byte picks the reader (.rrd, M3U, PLS) and the
// append flag; the rest is the file. Besides not crashing, a library file must come back
// unchanged after one save: what the reader took in, the writer gives back.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "library/M3uPlaylist.h"
#include "library/PlsPlaylist.h"
#include "library/RrdFile.h"
#include "platform/FilePath.h"

namespace {

const std::string& scratchPath(const char* name) {
  // Made once, removed when the run ends (libFuzzer leaves through exit()).
  static const struct Scratch {
    std::string path = [] {
      std::string templ = "/tmp/orvel-fuzz-XXXXXX";
      if (!::mkdtemp(templ.data())) std::abort();
      return templ;
    }();
    ~Scratch() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  } scratch;
  const std::string& folder = scratch.path;
  static std::string paths[2];
  std::string& path = paths[name[0] == 'b'];
  path = folder + "/" + name;
  return path;
}

// A plain write: the atomic rewrite's flush to disk would slow the run a hundredfold.
void writeScratch(const std::string& path, const void* data, size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) std::abort();
}

void checkRoundTrip(const orvel::RrdFile& file) {
  const orvel::Bytes first = file.serialize();
  const std::string& path = scratchPath("b.rrd");
  writeScratch(path, first.data(), first.size());
  orvel::RrdFile again;
  if (!again.Load(orvel::fromFsPath(path), true)) std::abort();
  if (again.serialize() != first) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t selector = data[0];
  const bool append = selector & 0x80;
  const std::string& path = scratchPath("a.in");
  writeScratch(path, data + 1, size - 1);
  const orvel::WString widePath = orvel::fromFsPath(path);
  switch (selector % 3) {
    case 0: {
      orvel::RrdFile file;
      if (file.Load(widePath, append) && append) checkRoundTrip(file);
      break;
    }
    case 1: {
      orvel::M3uPlaylist playlist;
      playlist.Load(widePath, append);
      break;
    }
    default: {
      orvel::PlsPlaylist playlist;
      playlist.Load(widePath, append);
      break;
    }
  }
  return 0;
}
