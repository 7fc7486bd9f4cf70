#pragma once
// The program's own codecs: the MP3 and Ogg Vorbis decoders and the "ResampleFilter", with the
// creator functions of the built-in codec provider.

#include <memory>

#include "audio/AudioDecoder.h"
#include "audio/AudioFilter.h"
#include "audio/CodecProvider.h"
#include "platform/Text.h"

namespace orvel {

class CodecRegistry;

class BuiltinCodecs {
 public:
  // Creates the built-in provider and registers its formats (MP3, then OGG) with `registry`.
  static CodecProvider* createProvider(CodecRegistry& registry);
  // By the extension of `name` (the text after its last '.', or all of it), without case:
  // mp3, mp2, mp1 -> Mp3Decoder; ogg -> OggDecoder; anything else: false.
  static bool createDecoder(AudioDecoder** out, WStringView name);
  // "ResampleFilter" (without case) -> ResampleFilter; anything else: false.
  static bool createFilter(AudioFilter** out, WStringView name);
  // Loads the MP3 primitives library (player thread).
  static void prepare();
};

// The extension of a format name: after its last '.', or the whole name.
WStringView formatExtension(WStringView name);

}  // namespace orvel
