#include "audio/plugin/av/AvStreamDecoder.h"

#include <algorithm>

namespace orvel {
namespace {

// How far Open reads for the first sound before it calls the stream undecodable.
constexpr int64_t kOpenReadLimit = 1 << 20;

}  // namespace

int32_t AvStreamDecoder::open(const OvStream* stream, OvPcmFormat* format) {
  const AvCodecLibrary* av = AvCodecLibrary::get();
  if (av == nullptr || stream == nullptr || format == nullptr) return 1;
  m_stream = stream;
  const int64_t start = streamPosition();
  if (!readHead()) return 1;
  m_dataStart = streamPosition();
  if (!m_frames.open(*av, m_codec, m_extradata)) return 1;
  // The rate and channels are known for sure only from decoded sound (SBR doubles the rate,
  // PS makes mono stereo), so Open decodes up to the first frame.
  while (m_frames.channels() == 0) {
    if (!decodeNextPacket() || streamPosition() - start > kOpenReadLimit) return 1;
  }
  format->rate = m_frames.rate();
  format->channels = m_frames.channels();
  format->durationMs = m_durationMs;
  return 0;
}

bool AvStreamDecoder::decodeNextPacket() {
  const uint8_t* data = nullptr;
  int32_t size = 0;
  if (nextPacket(data, size)) {
    m_frames.decode(data, size);
    return true;
  }
  m_frames.decode(nullptr, 0);  // the decoder's last frames
  m_ended = true;
  return false;
}

int32_t AvStreamDecoder::decode(int16_t* pcm, int32_t maxFrames) {
  if (m_endFrame >= 0)
    maxFrames = static_cast<int32_t>(std::clamp<int64_t>(m_endFrame - m_framesOut, 0, maxFrames));
  int32_t given = 0;
  while (given < maxFrames) {
    if (m_frames.queuedFrames() == 0) {
      if (m_ended) break;
      decodeNextPacket();
      // The queue was empty, so the new link's sound begins at what this call gave so far.
      if (m_linkStarting) {
        m_linkStarting = false;
        m_partBegan = true;
        m_partOffset = given;
      }
      continue;
    }
    int16_t* at = pcm + static_cast<size_t>(given) * m_frames.channels();
    const int32_t taken = m_frames.take(at, maxFrames - given);
    const int32_t skipped = static_cast<int32_t>(std::min<int64_t>(m_skipFrames, taken));
    m_skipFrames -= skipped;
    if (skipped > 0) {
      std::copy(at + static_cast<size_t>(skipped) * m_frames.channels(),
                at + static_cast<size_t>(taken) * m_frames.channels(), at);
    }
    given += taken - skipped;
  }
  m_framesOut += given;
  return given;
}

int32_t AvStreamDecoder::positionMs() const {
  if (m_frames.rate() == 0) return 0;
  return static_cast<int32_t>(m_framesOut * 1000 / m_frames.rate());
}

int32_t AvStreamDecoder::bitrateKbps() const {
  const int64_t size = streamSize();
  if (size > m_dataStart && m_durationMs > 0) {
    return static_cast<int32_t>((size - m_dataStart) * 8 / m_durationMs);
  }
  const int64_t ms = positionMs();
  return ms > 0 ? static_cast<int32_t>((streamPosition() - m_dataStart) * 8 / ms) : 0;
}

int64_t AvStreamDecoder::totalMs() const {
  if (m_durationMs > 0) return m_durationMs;
  return (streamSize() - m_dataStart) * 8 / std::max(1, bitrateKbps());
}

int64_t AvStreamDecoder::frameAtByte(int64_t offset) const {
  const int64_t span = streamSize() - m_dataStart;
  return span > 0 ? (offset - m_dataStart) * totalMs() / span * m_frames.rate() / 1000 : 0;
}

int32_t AvStreamDecoder::seek(int32_t value, bool byTime) {
  const int64_t size = streamSize();
  if (m_stream == nullptr || size < 0 || value < 0 || m_frames.rate() == 0) return -1;
  const int64_t targetFrame = byTime ? int64_t{value} * m_frames.rate() / 1000 : -1;
  int64_t offset = value;
  if (byTime) {
    const int64_t total = totalMs();
    offset = m_dataStart + (total > 0 ? (size - m_dataStart) * value / total : 0);
  }
  offset = std::clamp<int64_t>(offset, m_dataStart, size);
  m_frames.flush();
  m_ended = false;
  m_skipFrames = 0;
  const int64_t frame = seekTo(offset, targetFrame);
  if (frame < 0) return -1;
  m_framesOut = frame;
  return byTime ? positionMs() : static_cast<int32_t>(offset);
}

int32_t AvStreamDecoder::newPart(int32_t* frames) {
  if (!m_partBegan) return 0;
  m_partBegan = false;
  if (frames != nullptr) *frames = m_partOffset;
  return 1;
}

const char* AvStreamDecoder::comment(int32_t index, int32_t* length) const {
  if (index < 0 || static_cast<size_t>(index) >= m_comments.size()) return nullptr;
  if (length != nullptr) *length = static_cast<int32_t>(m_comments[index].size());
  return m_comments[index].c_str();
}

}  // namespace orvel
