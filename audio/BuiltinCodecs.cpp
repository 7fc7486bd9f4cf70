#include "audio/BuiltinCodecs.h"

#include <new>

#include "audio/CodecRegistry.h"
#include "audio/Mp3Decoder.h"
#include "audio/Mp3PrimitivesLibrary.h"
#include "audio/OggDecoder.h"
#include "audio/ResampleFilter.h"

namespace orvel {

WStringView formatExtension(WStringView name) {
  const size_t dot = name.rfind(u'.');
  return dot == WStringView::npos ? name : name.substr(dot + 1);
}

CodecProvider* BuiltinCodecs::createProvider(CodecRegistry& registry) {
  auto* provider = new CodecProvider;
  provider->createDecoder = &BuiltinCodecs::createDecoder;
  provider->createFilter = &BuiltinCodecs::createFilter;
  provider->prepare = &BuiltinCodecs::prepare;
  registry.registerEntry(provider, u"MP3 Audio Format", u"MP3", {u"mp3", u"mp2", u"mp1"},
                         kCodecCanDecode);
  registry.registerEntry(provider, u"OGG Audio Format", u"OGG", {u"ogg"}, kCodecCanDecode);
  return provider;
}

bool BuiltinCodecs::createDecoder(AudioDecoder** out, WStringView name) {
  if (out == nullptr) return false;
  const WStringView extension = formatExtension(name);
  if (equalsNoCase(extension, u"mp3") || equalsNoCase(extension, u"mp2") ||
      equalsNoCase(extension, u"mp1")) {
    *out = new (std::nothrow) Mp3Decoder;
    return true;
  }
  if (equalsNoCase(extension, u"ogg")) {
    *out = new (std::nothrow) OggDecoder;
    return true;
  }
  return false;
}

bool BuiltinCodecs::createFilter(AudioFilter** out, WStringView name) {
  if (out == nullptr || !equalsNoCase(name, u"ResampleFilter")) return false;
  *out = new (std::nothrow) ResampleFilter;
  return true;
}

void BuiltinCodecs::prepare() { Mp3PrimitivesLibrary::shared(); }

}  // namespace orvel
