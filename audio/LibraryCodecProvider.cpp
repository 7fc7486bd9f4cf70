#include "audio/LibraryCodecProvider.h"

#include <dlfcn.h>

#include <cstdio>
#include <memory>
#include <new>
#include <string_view>

#include "audio/CodecRegistry.h"
#include "audio/LibraryDecoder.h"

namespace orvel {
namespace {

std::vector<WString> splitExtensions(const char* list) {
  std::vector<WString> extensions;
  std::string_view rest = list == nullptr ? std::string_view{} : std::string_view(list);
  while (!rest.empty()) {
    const size_t end = rest.find(';');
    const std::string_view item = rest.substr(0, end);
    if (!item.empty()) extensions.push_back(fromAscii(item));
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
  }
  return extensions;
}

void skip(const std::string& path, const char* why) {
  std::fprintf(stderr, "codec library %s skipped: %s\n", path.c_str(), why);
}

}  // namespace

CodecProvider* LibraryCodecProvider::load(CodecRegistry& registry, const std::string& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* error = dlerror();
    skip(path, error != nullptr ? error : "cannot be loaded");
    return nullptr;
  }
  std::unique_ptr<LibraryCodecProvider> provider(new LibraryCodecProvider);
  provider->library = handle;  // closed by the provider from here on
  provider->path = path;
  auto version = reinterpret_cast<OvAudioPluginVersionFn>(dlsym(handle, "OvAudioPluginVersion"));
  auto formats = reinterpret_cast<OvAudioPluginFormatsFn>(dlsym(handle, "OvAudioPluginFormats"));
  provider->m_create =
      reinterpret_cast<OvAudioPluginCreateDecoderFn>(dlsym(handle, "OvAudioPluginCreateDecoder"));
  if (version == nullptr || formats == nullptr || provider->m_create == nullptr) {
    skip(path, "not a codec library (missing symbols)");
    return nullptr;
  }
  if (version() != OV_AUDIO_PLUGIN_VERSION) {
    skip(path, "another interface version");
    return nullptr;
  }
  int32_t count = 0;
  const OvFormatInfo* table = formats(&count);
  for (int32_t i = 0; table != nullptr && i < count; ++i) {
    const OvFormatInfo& info = table[i];
    if (info.name == nullptr || info.shortName == nullptr) continue;
    registry.registerEntry(provider.get(), fromAscii(info.name), fromAscii(info.shortName),
                           splitExtensions(info.extensions), info.capabilities);
  }
  return provider.release();
}

bool LibraryCodecProvider::makeDecoder(AudioDecoder** out, WStringView, const CodecEntry& entry) {
  if (out == nullptr) return false;
  std::string shortName;
  for (char16_t c : entry.shortName) {
    shortName.push_back(static_cast<char>(c >= u'A' && c <= u'Z' ? c + 32 : c));
  }
  OvDecoder* decoder = m_create(shortName.c_str());
  if (decoder == nullptr || decoder->ops == nullptr) return false;
  *out = new (std::nothrow) LibraryDecoder(decoder);
  if (*out == nullptr) decoder->ops->destroy(decoder);
  return *out != nullptr;
}

}  // namespace orvel
