// The ID3 tag reader over a file-like stream; the first byte chooses the chunk size.

#include <cstdlib>

#include "audio/Id3TagReader.h"
#include "tests/fuzz/FuzzStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  orvel::fuzz::FuzzStream stream(data + 1, size - 1, 1u + data[0] * 16u, true);
  orvel::TagInfo tags;
  orvel::Id3TagReader::read(stream, tags);
  // Nothing read may be longer than the file that held it.
  for (const auto* field : {&tags.title, &tags.album, &tags.artist, &tags.genre, &tags.year,
                            &tags.track}) {
    if (field->has_value() && (*field)->size() > size) std::abort();
  }
  return 0;
}
