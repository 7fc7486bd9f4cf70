#include "audio/Mp3PrimitivesLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include "platform/AtomicFile.h"
#include "platform/ProgramDirectory.h"

namespace orvel {

const Mp3PrimitivesLibrary& Mp3PrimitivesLibrary::shared() {
  static const Mp3PrimitivesLibrary library =
      loadFrom(ProgramDirectory::executableDir(), processorIsXScale());
  return library;
}

std::string Mp3PrimitivesLibrary::choosePath(const std::string& folder, bool isXScale) {
  const std::string plain = folder + "/" + kFileName;
  if (!isXScale && access(plain.c_str(), F_OK) == 0) return plain;
  return folder + "/" + kXScaleFileName;
}

Mp3PrimitivesLibrary Mp3PrimitivesLibrary::loadFrom(const std::string& folder, bool isXScale) {
  Mp3PrimitivesLibrary library;
  // Kept loaded for the life of the process, as the decoders may run until exit.
  void* handle = dlopen(choosePath(folder, isXScale).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return library;
  library.init = reinterpret_cast<Mp3InitDecoderFn>(dlsym(handle, "MP3_InitDecoder"));
  library.decodeFrame = reinterpret_cast<Mp3DecodeFrameFn>(dlsym(handle, "MP3_DecodeFrame"));
  library.synthPqmf = reinterpret_cast<Mp3SynthPqmfFn>(dlsym(handle, "MP3_SynthPQMF"));
  library.release = reinterpret_cast<Mp3ReleaseDecoderFn>(dlsym(handle, "MP3_ReleaseDecoder"));
  return library;
}

bool Mp3PrimitivesLibrary::nameIsXScale(const std::string& processorName) {
  return processorName.find("PXA") != std::string::npos;
}

bool Mp3PrimitivesLibrary::processorIsXScale() {
  for (const std::string& line : readTextLines("/proc/cpuinfo")) {
    if (line.rfind("model name", 0) == 0 || line.rfind("Hardware", 0) == 0) {
      return nameIsXScale(line.substr(line.find(':') == std::string::npos ? 0 : line.find(':')));
    }
  }
  return false;
}

}  // namespace orvel
