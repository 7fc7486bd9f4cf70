// The HLS playlist reader, given any text. Whatever it reads, the segments are numbered on from
// the media sequence without a gap, a live start lies within them, and the media playlist a
// master playlist leads to is one that it names.

#include <cstdlib>
#include <string_view>

#include "engine/M3u8Playlist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<orvel::M3u8Playlist> playlist = orvel::M3u8Playlist::parse(text);
  if (!playlist) return 0;
  uint64_t sequence = playlist->mediaSequence;
  for (const orvel::M3u8Playlist::Segment& segment : playlist->segments) {
    if (segment.sequence != sequence++ || segment.uri.empty() || segment.duration < 0) {
      std::abort();
    }
  }
  const size_t start = playlist->liveStart();
  if (playlist->segments.empty() ? start != 0 : start >= playlist->segments.size()) std::abort();
  const std::string chosen = playlist->chooseMedia();
  bool named = chosen.empty() == (playlist->variants.empty() && playlist->audio.empty());
  bool found = chosen.empty();
  for (const auto& variant : playlist->variants) found = found || variant.uri == chosen;
  for (const auto& rendition : playlist->audio) found = found || rendition.uri == chosen;
  if (!named || !found) std::abort();
  return 0;
}
