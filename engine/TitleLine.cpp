#include "engine/TitleLine.h"

namespace orvel {

WString TitleLine::compose(const TagInfo& info) {
  WString line;
  if (info.artist) line = *info.artist;
  if (info.title) {
    if (!line.empty()) line += u" - ";
    line += *info.title;
  }
  if (info.album) line += u" (" + *info.album + u")";
  if (info.year) line += u", " + *info.year;
  if (line.size() > kMaxChars) line.resize(kMaxChars);
  return line;
}

}  // namespace orvel
