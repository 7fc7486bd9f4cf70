#pragma once
// What a link handed to the program plays: an http or https address plays as it is; a playlist
// (".pls", ".m3u", ".m3u8", any case), given as a path or a file:// address, plays its first
// stream. Reads the playlist from the disk; any thread.

#include <optional>

#include "platform/Text.h"

namespace orvel {

struct StreamLinkTarget {
  WString url;
  WString title;  // the playlist entry's title; empty for an address
};

class StreamLink {
 public:
  static bool isAddress(WStringView link);
  static bool isPlaylistPath(WStringView link);
  // What the link plays; nothing when it is neither an address nor a readable playlist with a
  // playable first entry.
  static std::optional<StreamLinkTarget> resolve(const WString& link);
};

}  // namespace orvel
