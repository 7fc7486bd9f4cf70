#include "audio/plugin/av/AvParsedDecoder.h"

#include <algorithm>
#include <cstring>

#include "audio/plugin/av/VorbisCommentBlock.h"

namespace orvel {
namespace {

constexpr int32_t kReadSize = 16384;
constexpr uint8_t kStreamInfo = 0;
constexpr uint8_t kComments = 4;
constexpr uint32_t kStreamInfoSize = 34;
constexpr int32_t kAdtsMeasureBytes = 1 << 20;
constexpr uint32_t kAdtsRates[] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                   22050, 16000, 12000, 11025, 8000,  7350};
constexpr uint32_t kAacFrameSamples = 1024;

}  // namespace

AvParsedDecoder::AvParsedDecoder(AVCodecID codec)
    : m_buffer(kReadSize + AV_INPUT_BUFFER_PADDING_SIZE, 0) {
  m_codec = codec;
}

AvParsedDecoder::~AvParsedDecoder() {
  if (m_parser != nullptr) AvCodecLibrary::get()->parserClose(m_parser);
}

const char* AvParsedDecoder::codecName() const {
  return m_codec == AV_CODEC_ID_FLAC ? "FLAC" : "AAC";
}

bool AvParsedDecoder::readExactly(uint8_t* buffer, int32_t size) {
  while (size > 0) {
    const int32_t got = read(buffer, size);
    if (got <= 0) return false;
    buffer += got;
    size -= got;
  }
  return true;
}

bool AvParsedDecoder::readHead() {
  if (m_codec == AV_CODEC_ID_FLAC && !readFlacHead()) return false;
  if (m_codec == AV_CODEC_ID_AAC && streamSize() > 0) measureAdts();
  m_parser = AvCodecLibrary::get()->parserInit(m_codec);
  return m_parser != nullptr;
}

bool AvParsedDecoder::readFlacHead() {
  uint8_t header[4];
  if (!readExactly(header, 4) || std::memcmp(header, "fLaC", 4) != 0) return false;
  bool last = false;
  while (!last) {
    if (!readExactly(header, 4)) return false;
    last = (header[0] & 0x80) != 0;
    const uint8_t type = header[0] & 0x7F;
    const uint32_t length = uint32_t{header[1]} << 16 | header[2] << 8 | header[3];
    std::vector<uint8_t> block(length);
    if (!readExactly(block.data(), static_cast<int32_t>(length))) return false;
    if (type == kStreamInfo && length >= kStreamInfoSize) {
      m_extradata.assign(block.begin(), block.begin() + kStreamInfoSize);
      const uint32_t rate = uint32_t{block[10]} << 12 | block[11] << 4 | block[12] >> 4;
      const uint64_t samples = uint64_t{block[13] & 0x0Fu} << 32 | uint32_t{block[14]} << 24 |
                               block[15] << 16 | block[16] << 8 | block[17];
      if (rate > 0) m_durationMs = static_cast<uint32_t>(samples * 1000 / rate);
    } else if (type == kComments) {
      m_comments = VorbisCommentBlock::parse(block.data(), block.size());
    }
  }
  return !m_extradata.empty();
}

void AvParsedDecoder::measureAdts() {
  const int64_t start = streamPosition();
  std::vector<uint8_t> bytes(kAdtsMeasureBytes);
  int32_t filled = 0;
  for (int32_t got = 1; got > 0 && filled < kAdtsMeasureBytes; filled += got) {
    got = std::max(0, read(bytes.data() + filled, kAdtsMeasureBytes - filled));
  }
  if (!moveTo(start)) return;
  uint64_t samples = 0;
  uint32_t rate = 0;
  int32_t at = 0;
  int32_t counted = 0;  // bytes up to the end of the last whole frame
  while (at + 7 <= filled) {
    const uint8_t* h = bytes.data() + at;
    const uint32_t length = (h[3] & 3u) << 11 | h[4] << 3 | h[5] >> 5;
    const uint32_t rateIndex = (h[2] >> 2) & 0x0F;
    if (h[0] != 0xFF || (h[1] & 0xF6) != 0xF0 || length < 7 || rateIndex >= std::size(kAdtsRates)) {
      ++at;  // not a frame header: look on
      continue;
    }
    if (at + static_cast<int32_t>(length) > filled) break;
    rate = kAdtsRates[rateIndex];
    samples += kAacFrameSamples * ((h[6] & 3u) + 1);
    at += static_cast<int32_t>(length);
    counted = at;
  }
  if (rate == 0 || counted == 0) return;
  const uint64_t ms = samples * 1000 / rate;
  m_durationMs = static_cast<uint32_t>(ms * static_cast<uint64_t>(streamSize() - start) / counted);
}

bool AvParsedDecoder::nextPacket(const uint8_t*& data, int32_t& size) {
  const AvCodecLibrary& av = *AvCodecLibrary::get();
  if (m_parser == nullptr) return false;
  for (;;) {
    if (m_offset == m_filled && !m_streamEnded) {
      m_offset = 0;
      m_filled = read(m_buffer.data(), kReadSize);
      m_streamEnded = m_filled <= 0;
      if (m_filled < 0) m_filled = 0;
    }
    uint8_t* packet = nullptr;
    int packetSize = 0;
    // With no bytes left the parser gives the frame it still holds, then nothing.
    const int used =
        av.parserParse(m_parser, codecContext(), &packet, &packetSize, m_buffer.data() + m_offset,
                       m_filled - m_offset, AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
    // A parser that takes nothing and gives nothing would hold the loop: its bytes are dropped.
    m_offset = used > 0 ? m_offset + used : packetSize > 0 ? m_offset : m_filled;
    if (packetSize > 0) {
      data = packet;
      size = packetSize;
      return true;
    }
    if (m_streamEnded && m_offset == m_filled) return false;
  }
}

int64_t AvParsedDecoder::seekTo(int64_t offset, int64_t targetFrame) {
  if (!moveTo(offset)) return -1;
  const AvCodecLibrary& av = *AvCodecLibrary::get();
  av.parserClose(m_parser);
  m_parser = av.parserInit(m_codec);
  m_offset = 0;
  m_filled = 0;
  m_streamEnded = false;
  // The parser finds the next frame; its time is as near as the bitrate tells.
  if (offset == dataStart()) return 0;
  return targetFrame >= 0 ? targetFrame : frameAtByte(offset);
}

}  // namespace orvel
