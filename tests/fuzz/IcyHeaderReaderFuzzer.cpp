// The header reader of "ICY 200 OK" servers. The first two bytes give the header buffer's
// capacity; the rest is what the server sends. An accepted header block must fit that capacity
// and end with its empty line, and the reader must stop asking once the data has ended.

#include <cstdlib>

#include "engine/IcyHeaderReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint32_t capacity = data[0] | (static_cast<uint32_t>(data[1]) << 8);
  size_t next = 2;
  bool ended = false;
  orvel::IcyHeaderReader reader(
      [&](uint8_t& byte) {
        if (ended) std::abort();
        if (next >= size) {
          ended = true;
          return false;
        }
        byte = data[next++];
        return true;
      },
      capacity);
  orvel::WString headers;
  if (!reader.read(headers)) return 0;
  if (headers.size() > capacity || headers.empty() || headers.back() != u'\0') std::abort();
  if (headers.size() >= 2 && headers[headers.size() - 2] != u'\0') std::abort();
  return 0;
}
