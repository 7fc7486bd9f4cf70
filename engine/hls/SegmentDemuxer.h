#pragma once
// Turns the bytes of one HLS media segment into the elementary audio stream the decoders and a
// recording read: whole ADTS AAC frames or MPEG audio frames, whatever the segment's container
// (packed audio, MPEG-TS, fragmented MP4). Titles carried by the segment (ID3 frames) come out
// with the count of elementary bytes produced before the audio they belong to.
//
// Threads: one demuxer is used by one thread at a time (the stream's reader thread).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvel {

class SegmentDemuxer {
 public:
  enum class Container { kPackedAudio, kMpegTs, kFragmentedMp4 };

  // A title found in the segment: `offset` elementary bytes were produced before it (counted
  // from the demuxer's creation, across segments); `text` is UTF-8, "Artist - Title" when the
  // segment names both.
  struct Title {
    uint64_t offset = 0;
    std::string text;
  };

  virtual ~SegmentDemuxer() = default;

  // fMP4 only: the initialization section (EXT-X-MAP) that the following segments need; the
  // other containers accept and ignore it. False when it is not readable.
  virtual bool setInit(const uint8_t* data, size_t size) = 0;
  // The next bytes of the current segment, in any split. Appends the elementary audio they
  // complete to `out`. False when the segment cannot be read (the caller skips the rest of it).
  // The output never depends on the split. Damage inside a packed or transport stream segment
  // costs only the frames it hits; an fMP4 segment without its initialization section, or with
  // a box that cannot be true, is unreadable.
  virtual bool feed(const uint8_t* data, size_t size, std::vector<uint8_t>& out) = 0;
  // The end of the current segment: appends what is still held to `out` and readies the
  // demuxer for the next segment (a segment ends on a frame boundary).
  virtual bool endSegment(std::vector<uint8_t>& out) = 0;
  // "aac" or "mp3" once the first audio frame was produced; "" before.
  virtual std::string formatName() const = 0;
  // The titles found since the last call, oldest first.
  virtual std::vector<Title> takeTitles() = 0;

  // The container a segment's first bytes show (at least 376 bytes, or the whole segment):
  // 0x47 sync bytes 188 apart, an MP4 box ("ftyp", "styp", "moof", "sidx"; also "moov", "emsg",
  // "prft"), else packed audio.
  static Container detect(const uint8_t* data, size_t size);
  static std::unique_ptr<SegmentDemuxer> create(Container container);
};

}  // namespace orvel
