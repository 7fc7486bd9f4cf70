#pragma once
// The answer to Control(104): five consecutive null-terminated wide strings "MP3" (or "OGG"),
// "%d kbps", "%d Hz", "%d bits", "%d ch". The caller's buffer must hold them (128 units do).

#include <cstdint>

#include "audio/AudioFormat.h"

namespace orvel {

class DecoderDescription {
 public:
  // The bitrate in kbit/s from the stream size and duration; 0 when either is unknown.
  static int32_t bitrateKbps(int64_t streamBytes, uint32_t durationMs);
  // Writes the five strings to `out`; -1 when out is null, else 0.
  static int32_t write(char16_t* out, const char* codec, int32_t kbps, const AudioFormat& format);
};

}  // namespace orvel
