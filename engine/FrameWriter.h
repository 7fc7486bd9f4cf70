#pragma once
// Writes framed audio (MPEG audio or ADTS) to a file in whole frames only. A frame's bytes are
// held until the frame is complete; writing starts at a verified sync (a frame header whose
// frame is followed by another header of the same stream), and bytes that do not parse as frames
// of that stream are left out until the next verified sync. A splice drops the frame in
// progress, so a stream that was cut off and picked up again mid-frame (a reconnection) records
// as whole frames on both sides of the cut, and a recording stopped mid-frame ends with the last
// whole one.
//
// Used by one thread at a time (the recording stream calls it under its recording lock).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/DataStream.h"
#include "audio/FrameSync.h"

namespace orvel {

class FrameWriter {
 public:
  // Begins a recording of `kind` frames into `file` (not owned; null: none), looking for a sync
  // first.
  void start(DataStream* file, FrameKind kind = FrameKind::kMp3);
  // Takes the next audio bytes; the whole frames among them go to the file.
  void write(const uint8_t* bytes, uint32_t length);
  // The bytes after this come from elsewhere in the stream: the frame in progress is dropped.
  void splice();

 private:
  bool seekSync(size_t& at);
  bool headerAt(size_t at, uint32_t& frameBytes, uint32_t& streamBits) const;

  DataStream* m_file = nullptr;
  FrameKind m_kind = FrameKind::kMp3;
  std::vector<uint8_t> m_held;  // bytes not written yet, from the next frame's start
  bool m_synced = false;
  uint32_t m_streamBits = 0;  // the header bits every frame of the stream shares
};

}  // namespace orvel
