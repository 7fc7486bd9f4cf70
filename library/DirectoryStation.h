#pragma once
// A station found in the community station directory, as the directory describes it. Text is
// UTF-8 with control characters turned into spaces, so a name fits on one line.

#include <string>

namespace orvel {

struct DirectoryStation {
  std::string uuid;  // the directory's id of the station
  std::string name;
  std::string url;  // the resolved stream URL, always http or https
  std::string homepage;
  std::string codec;        // "MP3", "AAC", ... as the directory names it; may be empty
  int bitrateKbps = 0;      // 0 when unknown (or when the directory's number is implausible)
  std::string countryCode;  // ISO 3166-1 alpha-2, may be empty
  std::string tags;         // comma-separated
  bool hls = false;         // the stream is an HLS playlist
};

}  // namespace orvel
