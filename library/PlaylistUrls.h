#pragma once
// The stream URLs of a playlist that a station's address answered with, in playlist order, as
// the stream connection asks for them. The format is told by the text itself: "[playlist]" is
// PLS, "[Reference]" a Windows Media reference list, an <asx> element ASX, other XML XSPF,
// anything else M3U. Of an M3U body every line that
// is not empty or a comment is a URL: unlike an imported file's, its list goes on past empty
// lines, and an extended header over bare URL lines (a common "listen" link) gives them. The
// URLs are as written (UTF-8, possibly relative).
//
// Threads: any; no state.

#include <string>
#include <string_view>
#include <vector>

namespace orvel {

class PlaylistUrls {
 public:
  static std::vector<std::string> read(std::string_view body);

 private:
  static std::vector<std::string> plainLines(std::string_view body);
  // "[Reference]" then "Ref1=URL" lines, as Windows Media servers answer.
  static std::vector<std::string> referenceLines(std::string_view body);
};

}  // namespace orvel
