#pragma once
// Reads an MP3 file's ID3 tags into a TagInfo: version 2 (up to 2.3) at the start of the
// stream, then version 1 (and 1.1) at its end for the fields still missing. Needs a stream
// that can seek and knows its size; moves the stream's position and does not restore it.
//
// Runs on the caller's thread; the stream must not be in use by a Decode meanwhile. Tag data
// is untrusted: no read goes beyond the stream and nothing is allocated beyond its size.

#include "audio/DataStream.h"
#include "audio/TagInfo.h"

namespace orvel {

class Id3TagReader {
 public:
  // True when the version 2 tag had exactly the six known frames, or else a version 1 tag
  // exists. What was read stays in `tags` either way.
  static bool read(DataStream& stream, TagInfo& tags);
  // The version 2 walk alone.
  static bool readVersion2(DataStream& stream, TagInfo& tags);
  // The version 1 record alone; fills only fields that are still empty.
  static bool readVersion1(DataStream& stream, TagInfo& tags);
  // Removes a leading "(n)" from a genre text ("(17)Rock" -> "Rock"); "((" stays.
  static WString stripGenreNumber(const WString& genre);
  // The name of an ID3v1 genre byte; empty for 148 and above.
  static const char* genreName(unsigned index);
};

}  // namespace orvel
