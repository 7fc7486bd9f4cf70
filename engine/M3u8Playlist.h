#pragma once
// An HLS playlist read from its text: a master playlist's variants and audio renditions, or a
// media playlist's segments with their sequence numbers, keys, initialization sections,
// discontinuities and EXTINF titles. URIs are kept as written (maybe relative). Text that is
// no playlist, or tags that cannot be read, are skipped rather than refused: a station's
// playlist may carry tags of any later version. Pure; any thread.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

struct M3u8Playlist {
  static constexpr uint64_t kMaxAudioBandwidth = 320000;

  struct Variant {
    std::string uri;
    uint64_t bandwidth = 0;
    std::string codecs;
    std::string audioGroup;  // GROUP-ID of the EXT-X-MEDIA audio renditions it plays with
  };
  struct Rendition {  // EXT-X-MEDIA TYPE=AUDIO with a URI
    std::string groupId;
    std::string uri;
    bool isDefault = false;
  };
  struct Key {
    enum class Method { kNone, kAes128, kUnsupported };
    Method method = Method::kNone;
    std::string uri;
    std::optional<std::array<uint8_t, 16>> iv;  // none: the segment's sequence number
  };
  struct Segment {
    std::string uri;
    double duration = 0;
    uint64_t sequence = 0;
    std::string title;  // from title= (and artist=) in EXTINF; empty when none
    bool discontinuity = false;
    Key key;
    std::string map;  // EXT-X-MAP URI; empty when none
  };

  bool master = false;
  std::vector<Variant> variants;
  std::vector<Rendition> audio;
  double targetDuration = 0;
  uint64_t mediaSequence = 0;
  bool endList = false;
  std::vector<Segment> segments;

  // Nothing when the text does not start with #EXTM3U.
  static std::optional<M3u8Playlist> parse(std::string_view text);

  // The URI of the media playlist to play from a master playlist: among the audio-only variants
  // (all, when none is) the one of the highest bandwidth not above kMaxAudioBandwidth, else the
  // lowest; its audio rendition (the default one first) when its group has one. Empty when
  // there is no variant.
  std::string chooseMedia() const;
  // Where a live playlist starts: the first segment of the last three target durations.
  size_t liveStart() const;
};

}  // namespace orvel
