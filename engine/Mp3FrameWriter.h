#pragma once
// Writes MPEG audio to a file in whole frames only. A frame's bytes are held until the frame
// is complete; writing starts at a verified sync (a frame header whose frame is followed by
// another header of the same stream), and bytes that do not parse as frames of that stream are
// left out until the next verified sync. A splice drops the frame in progress, so a stream that
// was cut off and picked up again mid-frame (a reconnection) records as whole frames on both
// sides of the cut, and a recording stopped mid-frame ends with the last whole one.
//
// Used by one thread at a time (the recording stream calls it under its recording lock).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/DataStream.h"

namespace orvel {

class Mp3FrameWriter {
 public:
  // Begins a recording into `file` (not owned; null: none), looking for a sync first.
  void start(DataStream* file);
  // Takes the next audio bytes; the whole frames among them go to the file.
  void write(const uint8_t* bytes, uint32_t length);
  // The bytes after this come from elsewhere in the stream: the frame in progress is dropped.
  void splice();

 private:
  enum class Search { kFound, kNeedMore, kNone };
  Search findSync(size_t& at) const;
  bool seekSync(size_t& at);
  bool headerAt(size_t at, uint32_t& frameBytes, uint32_t& word) const;

  DataStream* m_file = nullptr;
  std::vector<uint8_t> m_held;  // bytes not written yet, from the next frame's start
  bool m_synced = false;
  uint32_t m_streamBits = 0;  // the header bits every frame of the stream shares
};

}  // namespace orvel
