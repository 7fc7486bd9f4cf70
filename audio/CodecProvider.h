#pragma once
// One source of codecs for the registry: the program's own (no library) or, in a design that
// allows it, a codec library. Holds the source's creator functions.

#include <string>

#include "audio/AudioDecoder.h"
#include "audio/AudioFilter.h"
#include "audio/CodecEntry.h"
#include "platform/Text.h"

namespace orvel {

class CodecProvider {
 public:
  using CreateDecoderFn = bool (*)(AudioDecoder** out, WStringView name);
  using CreateFilterFn = bool (*)(AudioFilter** out, WStringView name);
  // Loads ahead what the source's decoders will need, so the first one opens without delay.
  using PrepareFn = void (*)();

  CodecProvider() = default;
  CodecProvider(const CodecProvider&) = delete;
  CodecProvider& operator=(const CodecProvider&) = delete;
  // Frees the library, when there is one.
  virtual ~CodecProvider();

  // A new decoder for `entry`'s format, asked for as `name`; by default through createDecoder.
  virtual bool makeDecoder(AudioDecoder** out, WStringView name, const CodecEntry& entry);

  void* library = nullptr;  // dlopen handle; null for the built-in provider
  std::string path;         // the library's path; empty for the built-in provider
  CreateDecoderFn createDecoder = nullptr;
  CreateFilterFn createFilter = nullptr;
  PrepareFn prepare = nullptr;
  bool loadFailed = false;
};

}  // namespace orvel
