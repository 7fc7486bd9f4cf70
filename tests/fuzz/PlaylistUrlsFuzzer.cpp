// The playlist readers as a playlist URL's body reaches them (PLS, M3U, XSPF, ASX by content).

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "library/PlaylistUrls.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view body(reinterpret_cast<const char*>(data), size);
  // Every URL is trimmed text that is not a comment (8-bit text may grow as UTF-8).
  for (const std::string& url : orvel::PlaylistUrls::read(body)) {
    if (url.empty() || url.front() == '#' || isBlank(url.front()) || isBlank(url.back())) {
      std::abort();
    }
  }
  return 0;
}
