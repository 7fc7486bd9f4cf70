#pragma once
// The look at the first frames of an MP3 stream when it is opened: the format of the audio
// (the later one when the rate or channels change within the first ten frames), the frame
// count from a Xing header or from the average frame length, and so the duration.

#include <cstdint>
#include <optional>

#include "audio/AudioFormat.h"
#include "audio/ByteReader.h"
#include "audio/Mp3FrameHeader.h"

namespace orvel {

class Mp3FrameScan {
 public:
  static constexpr int kFramesScanned = 10;
  static constexpr uint32_t kLookAheadBytes = 64;

  // Scans from the reader's position and fills the wave part, block size, requested and total
  // duration of `format`. False when no frame header can be found.
  bool run(ByteReader& reader, uint32_t requestedDurationMs, AudioFormat& format);

  // The frame count of a Xing header in the bytes behind a frame header, if it carries one.
  static std::optional<uint32_t> xingFrameCount(const uint8_t* bytes, uint32_t length,
                                                uint32_t sideInfoBytes);

  int64_t dataOffset() const { return m_dataOffset; }
  uint32_t frameCount() const { return m_frameCount; }

 private:
  static void skipId3v2(ByteReader& reader);

  int64_t m_dataOffset = 0;
  uint32_t m_frameCount = 0;
};

}  // namespace orvel
