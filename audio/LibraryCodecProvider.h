#pragma once
// A codec library loaded from beside the executable (the C interface of
// audio/plugin/OvAudioPlugin.h): checks it, registers its formats and wraps its decoders as
// LibraryDecoder. A library that cannot be used is skipped with a line on stderr.
//
// Made and used as the registry is: created during the registry's scan, asked for decoders on
// the player's command thread afterwards.

#include <string>

#include "audio/CodecProvider.h"
#include "audio/plugin/OvAudioPlugin.h"

namespace orvel {

class CodecRegistry;

class LibraryCodecProvider : public CodecProvider {
 public:
  // Opens the library at `path` and registers its formats; null (and a message) when it is not
  // a codec library of this interface version.
  static CodecProvider* load(CodecRegistry& registry, const std::string& path);

  bool makeDecoder(AudioDecoder** out, WStringView name, const CodecEntry& entry) override;

 private:
  LibraryCodecProvider() = default;

  OvAudioPluginCreateDecoderFn m_create = nullptr;
};

}  // namespace orvel
