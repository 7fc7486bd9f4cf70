#include "audio/DecoderDescription.h"

#include <cstdio>
#include <string>

namespace orvel {

int32_t DecoderDescription::bitrateKbps(int64_t streamBytes, uint32_t durationMs) {
  // Network streams have neither a size nor a duration.
  if (streamBytes <= 0 || durationMs == 0) return 0;
  return static_cast<int32_t>(streamBytes * 8 / durationMs);
}

int32_t DecoderDescription::write(char16_t* out, const char* codec, int32_t kbps,
                                  const AudioFormat& format) {
  if (out == nullptr) return -1;
  char text[4][32];
  std::snprintf(text[0], sizeof text[0], "%d kbps", kbps);
  std::snprintf(text[1], sizeof text[1], "%d Hz", static_cast<int>(format.wave.nSamplesPerSec));
  std::snprintf(text[2], sizeof text[2], "%d bits", format.wave.wBitsPerSample);
  std::snprintf(text[3], sizeof text[3], "%d ch", format.wave.nChannels);
  auto put = [&out](const char* ascii) {
    for (const char* c = ascii; *c != '\0'; ++c) *out++ = static_cast<char16_t>(*c);
    *out++ = u'\0';
  };
  put(codec);
  for (const auto& line : text) put(line);
  return 0;
}

}  // namespace orvel
