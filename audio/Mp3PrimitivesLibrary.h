#pragma once
// Finds and loads the MP3 primitives library from the executable's folder: libOvGrpPrim.so,
// or its XScale build libOvGrpPrimXA.so when the processor is an XScale or the plain one is
// missing. The process-wide instance is loaded by the first Mp3Decoder::Open or by the codec
// registry's Prepare (both on the player thread) and stays loaded until exit.

#include <string>

#include "audio/Mp3Primitives.h"

namespace orvel {

class Mp3PrimitivesLibrary {
 public:
  static constexpr const char* kFileName = "libOvGrpPrim.so";
  static constexpr const char* kXScaleFileName = "libOvGrpPrimXA.so";

  // The process-wide library; the load is attempted once.
  static const Mp3PrimitivesLibrary& shared();
  // Loads from `folder` with the given processor answer (tests use other folders).
  static Mp3PrimitivesLibrary loadFrom(const std::string& folder, bool isXScale);
  // The file that would be loaded from `folder`.
  static std::string choosePath(const std::string& folder, bool isXScale);
  // True when the processor name in /proc/cpuinfo contains "PXA".
  static bool processorIsXScale();
  static bool nameIsXScale(const std::string& processorName);

  // All three required entry points resolved.
  bool usable() const { return init && decodeFrame && synthPqmf; }

  Mp3InitDecoderFn init = nullptr;
  Mp3DecodeFrameFn decodeFrame = nullptr;
  Mp3SynthPqmfFn synthPqmf = nullptr;
  Mp3ReleaseDecoderFn release = nullptr;
};

}  // namespace orvel
