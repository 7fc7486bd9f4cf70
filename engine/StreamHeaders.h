#pragma once
// The response headers that name a station and its format, one record per successful
// connection. Built on the connect thread (and on the reader thread for a reconnection, which
// only takes its metadata interval); the Player and the screen get copies.

#include <cstdint>
#include <optional>

#include "platform/Text.h"

namespace orvel {

struct StreamHeaders {
  std::optional<WString> server;
  std::optional<WString> contentType;
  std::optional<WString> name;
  std::optional<WString> url;
  std::optional<WString> genre;
  std::optional<WString> bitrate;

  // Parses a header buffer: null-terminated lines ending with an empty line (or the buffer's
  // end). The first occurrence of each field wins; `metaint` takes the last "icy-metaint"
  // (0 when there is none or its value is no positive number). A missing content type
  // becomes "audio/mpeg".
  static StreamHeaders parse(WStringView headerBuffer, int32_t& metaint);
};

}  // namespace orvel
