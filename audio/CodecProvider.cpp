#include "audio/CodecProvider.h"

#include <dlfcn.h>

namespace orvel {

CodecProvider::~CodecProvider() {
  if (library != nullptr) dlclose(library);
}

bool CodecProvider::makeDecoder(AudioDecoder** out, WStringView name, const CodecEntry&) {
  return createDecoder != nullptr && createDecoder(out, name);
}

}  // namespace orvel
