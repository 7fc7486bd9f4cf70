#pragma once
// The track information of a stream: six optional wide strings. The network stream fills the
// title from its in-band metadata; decoders fill all six from file tags.

#include <optional>

#include "platform/Text.h"

namespace orvel {

struct TagInfo {
  std::optional<WString> title;
  std::optional<WString> artist;
  std::optional<WString> album;
  std::optional<WString> year;
  std::optional<WString> genre;
  std::optional<WString> track;

  bool operator==(const TagInfo&) const = default;
};

}  // namespace orvel
