// The playlist readers as a playlist URL's body reaches them (PLS, M3U, XSPF, ASX by content).

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "library/PlaylistUrls.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view body(reinterpret_cast<const char*>(data), size);
  for (const std::string& url : orvel::PlaylistUrls::read(body)) {
    if (url.empty() || url.size() > size) std::abort();
  }
  return 0;
}
