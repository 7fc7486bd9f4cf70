#pragma once
// A stream of the library: one URL of a station, handed around by the address of its record.

#include <cstdint>

#include "platform/Text.h"

namespace orvel {

struct RadioInfo;

// Which library file a stream belongs to, and so which file it is written to at exit.
enum : int32_t {
  kOriginUser = 0,     // "user.rrd", imported from a playlist, or typed in by the user
  kOriginShipped = 1,  // "default.rrd"
};

struct StreamInfo {
  // The radio that holds the stream; set by the container that owns the record.
  const RadioInfo* radio = nullptr;
  WString url;
  WString comment;
  // Decimal kbit/s as text; compared as a number (an empty bitrate counts as -1).
  WString bitrate;
  // Free text naming the audio format ("MP3", "Ogg Vorbis", ...).
  WString format;
  int32_t origin = kOriginUser;
};

}  // namespace orvel
