#pragma once
// The readable station list from which the shipped library is made: the same tree that
// "orvel-library list" prints, without origins.
//
//   # a comment; blank lines are ignored
//   category NAME
//     radio TITLE | SHORT TITLE
//       stream URL | BITRATE | FORMAT | COMMENT        (" *" at the end: the selected stream)
//
// Indentation is free; fields are separated by "|" and lose their surrounding blanks.

#include <string>
#include <string_view>

#include "library/RadioLibrary.h"

namespace orvel {

class StationList {
 public:
  // Adds the list's categories, radios and streams to the library (in its usual order, with
  // origin kOriginUser). False with a message naming the line at the first malformed line.
  static bool read(std::string_view text, RadioLibrary& into, std::string& error);
};

}  // namespace orvel
