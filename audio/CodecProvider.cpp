#include "audio/CodecProvider.h"

#include <dlfcn.h>

namespace orvel {

CodecProvider::~CodecProvider() {
  if (library != nullptr) dlclose(library);
}

}  // namespace orvel
