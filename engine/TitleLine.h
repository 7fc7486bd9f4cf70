#pragma once
// The title line that the player screen and orvel-play show for a track:
// "Artist - Title (Album), Year", each part only when present, at most 259 characters.

#include "audio/TagInfo.h"
#include "platform/Text.h"

namespace orvel {

class TitleLine {
 public:
  static constexpr size_t kMaxChars = 259;

  static WString compose(const TagInfo& info);
};

}  // namespace orvel
