#include "audio/Mp3FrameScan.h"

#include "audio/Mp3HeaderSync.h"

namespace orvel {

std::optional<uint32_t> Mp3FrameScan::xingFrameCount(const uint8_t* bytes, uint32_t length,
                                                     uint32_t sideInfoBytes) {
  const uint32_t at = sideInfoBytes;
  if (length < at + 12) return std::nullopt;
  const uint8_t* p = bytes + at;
  if (p[0] != 'X' || p[1] != 'i' || p[2] != 'n' || p[3] != 'g') return std::nullopt;
  if ((p[7] & 1) == 0) return std::nullopt;  // no frame count in this header
  return (uint32_t{p[8]} << 24) | (uint32_t{p[9]} << 16) | (uint32_t{p[10]} << 8) | p[11];
}

void Mp3FrameScan::skipId3v2(ByteReader& reader) {
  constexpr uint32_t kHeaderBytes = 10;
  if (reader.lookAhead(kHeaderBytes) < kHeaderBytes) return;
  const uint8_t* p = reader.cursor();
  if (p[0] != 'I' || p[1] != 'D' || p[2] != '3' || ((p[6] | p[7] | p[8] | p[9]) & 0x80) != 0) {
    return;
  }
  const uint32_t size =
      (uint32_t{p[6]} << 21) | (uint32_t{p[7]} << 14) | (uint32_t{p[8]} << 7) | p[9];
  const bool footer = (p[5] & 0x10) != 0;
  reader.skip(kHeaderBytes + size + (footer ? kHeaderBytes : 0));
}

bool Mp3FrameScan::run(ByteReader& reader, uint32_t requestedDurationMs, AudioFormat& format) {
  // Tag text can look like a frame header (a UTF-16 byte order mark does), so a tag at the
  // start of a file is stepped over as a whole.
  skipId3v2(reader);
  Mp3FrameHeader reference;
  uint32_t word = 0;
  if (!Mp3HeaderSync::findHeader(reader, reference, word)) return false;
  m_dataOffset = reader.position() - 4;

  const uint32_t seen = reader.lookAhead(kLookAheadBytes);
  const std::optional<uint32_t> xingCount =
      xingFrameCount(reader.cursor(), seen, reference.sideInfoBytes);

  Mp3FrameHeader last = reference;
  uint32_t count = 1;
  uint64_t lengthSum = reference.frameBytes;
  Mp3HeaderSync::skipFrame(reader, reference);
  for (int i = 1; i < kFramesScanned; ++i) {
    Mp3FrameHeader next;
    if (!Mp3HeaderSync::findHeader(reader, next, word)) break;
    const int64_t offset = reader.position() - 4;
    Mp3HeaderSync::skipFrame(reader, next);
    last = next;
    if (next.sampleRate != reference.sampleRate || next.channels != reference.channels ||
        next.bitsPerSample != reference.bitsPerSample) {
      reference = next;
      count = 1;
      lengthSum = next.frameBytes;
      m_dataOffset = offset;
    } else {
      ++count;
      lengthSum += next.frameBytes;
    }
  }
  const uint32_t averageBytes = static_cast<uint32_t>(lengthSum / count);

  fillPcmFormat(format, reference.channels, reference.sampleRate, requestedDurationMs);
  const int64_t size = reader.source()->GetSize();
  if (xingCount) {
    m_frameCount = *xingCount;
  } else if (size >= 0 && averageBytes > 0) {
    m_frameCount = static_cast<uint32_t>((size - m_dataOffset) / averageBytes);
  } else {
    m_frameCount = 0;  // a stream of unknown size has no known length
  }
  format.durationMs = static_cast<uint32_t>(static_cast<double>(last.samplesPerFrame) *
                                            m_frameCount * 1000.0 / reference.sampleRate);
  return true;
}

}  // namespace orvel
