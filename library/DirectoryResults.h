#pragma once
// Reading the station directory's JSON answers. Any shape of data gives a result or an error,
// never an exception: wrong types count as missing fields.
//
// Stations are kept in the directory's order, except that a station without an id or without an
// http(s) stream URL (of at most 259 characters) is left out, and a station whose id or stream URL
// came before is left out as a duplicate. Pure functions, thread-safe.

#include <string>
#include <string_view>
#include <vector>

#include "library/DirectoryStation.h"

namespace orvel {

class DirectoryResults {
 public:
  // Above it a bitrate is taken as a typing error: 24-bit 192 kHz stereo PCM.
  static constexpr int kMaxPlausibleKbps = 9216;

  // A list of stations; at most `limit` are kept. False (with the reason) when the text is no
  // JSON array.
  static bool parseStations(std::string_view body, size_t limit,
                            std::vector<DirectoryStation>& stations, std::string& error);
  // The answer to a click: an object whose "ok" is true.
  static bool parseClick(std::string_view body, std::string& error);
};

}  // namespace orvel
