#pragma once
// The title an ID3v2 tag (version 2.2 to 2.4) in an HLS segment names: "Artist - Title" from TPE1
// and TIT2 (TIT2 alone when there is no artist), else the quoted text of a "StreamTitle='...'"
// that some broadcasters put into a TXXX or PRIV frame. The PRIV frame Apple's segmenter writes
// for the transport stream timestamp is a timestamp, not a title. Pure functions; any thread.
//
// Tag data is untrusted: every length is checked against the bytes there.

#include <cstddef>
#include <cstdint>
#include <string>

namespace orvel {

class Id3Titles {
 public:
  static constexpr size_t kHeaderBytes = 10;

  // The whole length of the tag whose header is at `header` (kHeaderBytes of them), footer
  // included; 0 when it is not an ID3v2 header.
  static size_t tagBytes(const uint8_t* header);
  // The title named by the whole tag at `tag`, in UTF-8; "" when it names none.
  static std::string title(const uint8_t* tag, size_t size);
};

}  // namespace orvel
