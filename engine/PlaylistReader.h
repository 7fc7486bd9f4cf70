#pragma once
// How the engine reads a playlist that a station's URL answers with instead of audio: the
// caller (which knows the playlist formats) gives the entry URLs of `body` (at most 64 KiB) in
// the order written, UTF-8, absolute or relative to the playlist's own URL. Called on the
// connect thread; must not block.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

using PlaylistReader = std::function<std::vector<std::string>(std::string_view body)>;

}  // namespace orvel
