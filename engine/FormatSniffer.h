#pragma once
// Recognises a stream's format by its first audio bytes, for streams whose content type is
// missing or wrong, and tells which codec an Ogg stream carries by its first packet. Format
// names are the codec registry's: "mp3", "aac" (ADTS), "ogg" (Vorbis), "opus", "oggflac" (both
// in Ogg) and "flac" (native). Pure functions; any thread.

#include <cstddef>
#include <cstdint>
#include <string>

namespace orvel {

class FormatSniffer {
 public:
  enum class Verdict : uint8_t { kFound, kNeedMore, kNone };

  // More than two of the largest MPEG audio frames, so a stream that starts mid-frame still shows
  // two whole ones; past this many bytes a stream is not recognised.
  static constexpr size_t kWindowBytes = 16384;

  // "OggS" (routed by its first packet) or "fLaC" at the start, else the first verified MPEG
  // audio or ADTS sync. kNeedMore: the bytes so far do not decide yet.
  static Verdict sniff(const uint8_t* bytes, size_t size, std::string& name);
  // The codec of the Ogg stream whose first page starts at `bytes`: "ogg" for Vorbis or any
  // codec not known here.
  static Verdict oggCodec(const uint8_t* bytes, size_t size, std::string& name);
};

}  // namespace orvel
