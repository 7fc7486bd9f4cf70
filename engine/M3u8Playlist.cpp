#include "engine/M3u8Playlist.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace orvel {
namespace {

using Attributes = std::map<std::string, std::string, std::less<>>;

std::string_view trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

// NAME=VALUE pairs separated by commas; a quoted value may hold commas, and a backslash keeps
// the character after it (EXTINF titles escape their quotes so).
Attributes readAttributes(std::string_view text) {
  Attributes attributes;
  size_t at = 0;
  while (at < text.size()) {
    const size_t equals = text.find('=', at);
    if (equals == std::string_view::npos) break;
    std::string name(trim(text.substr(at, equals - at)));
    std::string value;
    at = equals + 1;
    if (at < text.size() && text[at] == '"') {
      for (++at; at < text.size() && text[at] != '"'; ++at) {
        if (text[at] == '\\' && at + 1 < text.size()) ++at;
        value.push_back(text[at]);
      }
      at = text.find(',', at);
    } else {
      const size_t comma = text.find(',', at);
      value =
          trim(text.substr(at, comma == std::string_view::npos ? text.size() - at : comma - at));
      at = comma;
    }
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    attributes.emplace(std::move(name), std::move(value));
    if (at == std::string_view::npos) break;
    ++at;
  }
  return attributes;
}

std::string attribute(const Attributes& attributes, std::string_view name) {
  const auto found = attributes.find(name);
  return found == attributes.end() ? std::string() : found->second;
}

uint64_t readNumber(std::string_view text) {
  uint64_t value = 0;
  for (char c : trim(text)) {
    if (c < '0' || c > '9' || value > UINT64_MAX / 10 - 10) break;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  return value;
}

double readSeconds(std::string_view text) {
  const std::string digits(trim(text).substr(0, 32));
  const double value = std::strtod(digits.c_str(), nullptr);
  return value > 0 && value < 86400 ? value : 0;
}

std::optional<std::array<uint8_t, 16>> readIv(std::string_view text) {
  if (text.size() != 34 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return {};
  std::array<uint8_t, 16> iv{};
  for (size_t i = 0; i < 32; ++i) {
    const char c = text[2 + i];
    int nibble = 0;
    if (c >= '0' && c <= '9') {
      nibble = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      nibble = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      nibble = c - 'A' + 10;
    } else {
      return {};
    }
    iv[i / 2] = static_cast<uint8_t>(iv[i / 2] << 4 | nibble);
  }
  return iv;
}

M3u8Playlist::Key readKey(std::string_view text) {
  const Attributes attributes = readAttributes(text);
  M3u8Playlist::Key key;
  const std::string method = attribute(attributes, "METHOD");
  if (method == "NONE") return key;
  key.method = method == "AES-128" ? M3u8Playlist::Key::Method::kAes128
                                   : M3u8Playlist::Key::Method::kUnsupported;
  key.uri = attribute(attributes, "URI");
  key.iv = readIv(attribute(attributes, "IV"));
  return key;
}

// "#EXTINF:<duration>,<title>": the title part may carry title="..." and artist="...".
std::string extinfTitle(std::string_view rest) {
  const size_t comma = rest.find(',');
  if (comma == std::string_view::npos) return {};
  const Attributes attributes = readAttributes(rest.substr(comma + 1));
  const std::string title = attribute(attributes, "TITLE");
  const std::string artist = attribute(attributes, "ARTIST");
  if (title.empty() || artist.empty()) return title;
  return artist + " - " + title;
}

bool isAudioOnly(const M3u8Playlist::Variant& variant) {
  if (variant.codecs.empty()) return false;
  for (std::string_view video : {"avc", "hvc", "hev", "vp0", "av01", "mp4v"}) {
    if (variant.codecs.find(video) != std::string::npos) return false;
  }
  return true;
}

struct Parser {
  M3u8Playlist playlist;
  M3u8Playlist::Segment next;  // the tags that apply to the next segment URI
  M3u8Playlist::Key key;
  std::string map;
  std::optional<M3u8Playlist::Variant> variant;  // an EXT-X-STREAM-INF waiting for its URI
  uint64_t sequence = 0;
  bool sequenceSet = false;

  void tag(std::string_view name, std::string_view value) {
    if (name == "#EXTINF") {
      next.duration = readSeconds(value.substr(0, value.find(',')));
      next.title = extinfTitle(value);
    } else if (name == "#EXT-X-TARGETDURATION") {
      playlist.targetDuration = readSeconds(value);
    } else if (name == "#EXT-X-MEDIA-SEQUENCE" && !sequenceSet) {
      // Numbers the segments from the first on; one that comes later cannot renumber them.
      playlist.mediaSequence = readNumber(value);
    } else if (name == "#EXT-X-DISCONTINUITY") {
      next.discontinuity = true;
    } else if (name == "#EXT-X-ENDLIST") {
      playlist.endList = true;
    } else if (name == "#EXT-X-KEY") {
      key = readKey(value);
    } else if (name == "#EXT-X-MAP") {
      map = attribute(readAttributes(value), "URI");
    } else if (name == "#EXT-X-STREAM-INF") {
      const Attributes attributes = readAttributes(value);
      playlist.master = true;
      variant = M3u8Playlist::Variant{{},
                                      readNumber(attribute(attributes, "BANDWIDTH")),
                                      attribute(attributes, "CODECS"),
                                      attribute(attributes, "AUDIO")};
    } else if (name == "#EXT-X-MEDIA") {
      media(readAttributes(value));
    }
  }

  void media(const Attributes& attributes) {
    playlist.master = true;
    const std::string uri = attribute(attributes, "URI");
    if (attribute(attributes, "TYPE") != "AUDIO" || uri.empty()) return;
    playlist.audio.push_back(
        {attribute(attributes, "GROUP-ID"), uri, attribute(attributes, "DEFAULT") == "YES"});
  }

  void uri(std::string_view line) {
    if (variant) {
      variant->uri = line;
      playlist.variants.push_back(std::move(*variant));
      variant.reset();
      return;
    }
    if (!sequenceSet) {
      sequence = playlist.mediaSequence;
      sequenceSet = true;
    }
    next.uri = line;
    next.sequence = sequence++;
    next.key = key;
    next.map = map;
    playlist.segments.push_back(std::move(next));
    next = {};
  }
};

}  // namespace

std::optional<M3u8Playlist> M3u8Playlist::parse(std::string_view text) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (text.starts_with(kBom)) text.remove_prefix(kBom.size());
  if (!text.starts_with("#EXTM3U")) return std::nullopt;
  Parser parser;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = trim(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty()) continue;
    if (line.front() != '#') {
      parser.uri(line);
      continue;
    }
    const size_t colon = line.find(':');
    parser.tag(line.substr(0, colon),
               colon == std::string_view::npos ? std::string_view() : line.substr(colon + 1));
  }
  return std::move(parser.playlist);
}

std::string M3u8Playlist::chooseMedia() const {
  std::vector<const Variant*> candidates;
  for (const Variant& variant : variants) {
    if (isAudioOnly(variant)) candidates.push_back(&variant);
  }
  if (candidates.empty()) {
    for (const Variant& variant : variants) candidates.push_back(&variant);
  }
  const Variant* best = nullptr;
  const Variant* lowest = nullptr;
  for (const Variant* variant : candidates) {
    if (variant->bandwidth <= kMaxAudioBandwidth &&
        (!best || variant->bandwidth > best->bandwidth)) {
      best = variant;
    }
    if (!lowest || variant->bandwidth < lowest->bandwidth) lowest = variant;
  }
  const Variant* chosen = best ? best : lowest;
  if (!chosen) return audio.empty() ? std::string() : audio.front().uri;
  const Rendition* rendition = nullptr;
  for (const Rendition& candidate : audio) {
    if (candidate.groupId != chosen->audioGroup || chosen->audioGroup.empty()) continue;
    if (!rendition || (candidate.isDefault && !rendition->isDefault)) rendition = &candidate;
  }
  return rendition ? rendition->uri : chosen->uri;
}

size_t M3u8Playlist::liveStart() const {
  const double wanted = 3 * targetDuration;
  double held = 0;
  size_t start = segments.size();
  while (start > 0 && (held < wanted || held == 0)) {
    --start;
    held += segments[start].duration;
  }
  return start;
}

}  // namespace orvel
