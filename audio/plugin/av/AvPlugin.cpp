// The exports of libOvAudioAv.so: its formats, and decoders made on request. libavcodec is
// loaded by the first decoder's Open, never by the scan that reads the format table.

#include <cstring>
#include <memory>
#include <new>

#include "audio/plugin/OvAudioPlugin.h"
#include "audio/plugin/av/AvOggDecoder.h"
#include "audio/plugin/av/AvParsedDecoder.h"

namespace orvel {
namespace {

constexpr OvFormatInfo kFormats[] = {
    {"AAC Audio Format (ADTS)", "aac", "aac;adts", OV_FORMAT_CAN_DECODE},
    {"Opus Audio Format", "opus", "opus", OV_FORMAT_CAN_DECODE},
    {"FLAC Audio Format", "flac", "flac", OV_FORMAT_CAN_DECODE},
    // The first packet tells Opus from FLAC, so .oga files of either play.
    {"Ogg FLAC Audio Format", "oggflac", "oga", OV_FORMAT_CAN_DECODE},
};

// The C record the player holds, with the decoder behind it.
struct PluginDecoder : OvDecoder {
  std::unique_ptr<AvStreamDecoder> impl;
};

AvStreamDecoder& implOf(OvDecoder* decoder) { return *static_cast<PluginDecoder*>(decoder)->impl; }

const OvDecoderOps kOps = {
    [](OvDecoder* d, const OvStream* stream, OvPcmFormat* format) {
      return implOf(d).open(stream, format);
    },
    [](OvDecoder* d, int16_t* pcm, int32_t maxFrames) { return implOf(d).decode(pcm, maxFrames); },
    [](OvDecoder* d) { return implOf(d).positionMs(); },
    [](OvDecoder* d, int32_t value, int32_t byTime) { return implOf(d).seek(value, byTime != 0); },
    [](OvDecoder* d) { return implOf(d).bitrateKbps(); },
    [](OvDecoder* d, int32_t index, int32_t* length) { return implOf(d).comment(index, length); },
    [](OvDecoder* d) { return implOf(d).codecName(); },
    [](OvDecoder* d, int32_t* frames) { return implOf(d).newPart(frames); },
    [](OvDecoder* d) { delete static_cast<PluginDecoder*>(d); },
};

AvStreamDecoder* makeDecoder(const char* shortName) {
  if (std::strcmp(shortName, "aac") == 0)
    return new (std::nothrow) AvParsedDecoder(AV_CODEC_ID_AAC);
  if (std::strcmp(shortName, "flac") == 0)
    return new (std::nothrow) AvParsedDecoder(AV_CODEC_ID_FLAC);
  if (std::strcmp(shortName, "opus") == 0 || std::strcmp(shortName, "oggflac") == 0) {
    return new (std::nothrow) AvOggDecoder;
  }
  return nullptr;
}

}  // namespace
}  // namespace orvel

extern "C" {

__attribute__((visibility("default"))) uint32_t OvAudioPluginVersion(void) {
  return OV_AUDIO_PLUGIN_VERSION;
}

__attribute__((visibility("default"))) const OvFormatInfo* OvAudioPluginFormats(int32_t* count) {
  if (count != nullptr) *count = static_cast<int32_t>(std::size(orvel::kFormats));
  return orvel::kFormats;
}

__attribute__((visibility("default"))) OvDecoder* OvAudioPluginCreateDecoder(
    const char* shortName) {
  if (shortName == nullptr) return nullptr;
  std::unique_ptr<orvel::AvStreamDecoder> impl(orvel::makeDecoder(shortName));
  if (!impl) return nullptr;
  auto* decoder = new (std::nothrow) orvel::PluginDecoder;
  if (decoder == nullptr) return nullptr;
  decoder->ops = &orvel::kOps;
  decoder->impl = std::move(impl);
  return decoder;
}
}
