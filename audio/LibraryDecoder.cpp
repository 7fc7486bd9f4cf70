#include "audio/LibraryDecoder.h"

#include "audio/DecoderDescription.h"
#include "audio/OggDecoder.h"

namespace orvel {
namespace {

DataStream* streamOf(void* context) { return static_cast<DataStream*>(context); }

int32_t readStream(void* context, void* buffer, int32_t size) {
  const int32_t got = streamOf(context)->Read(buffer, size);
  return got > 0 ? got : 0;
}

int64_t seekStream(void* context, int64_t offset, int32_t origin) {
  if (origin < 0 || origin > 2) return -1;
  return streamOf(context)->Seek(offset, static_cast<DataStream::SeekOrigin>(origin));
}

int64_t streamPosition(void* context) { return streamOf(context)->GetPosition(); }

int64_t streamSize(void* context) { return streamOf(context)->GetSize(); }

}  // namespace

LibraryDecoder::LibraryDecoder(OvDecoder* decoder) : m_decoder(decoder) {}

LibraryDecoder::~LibraryDecoder() { m_decoder->ops->destroy(m_decoder); }

int32_t LibraryDecoder::Open(DataStream* stream, AudioFormat* format) {
  if (stream == nullptr || format == nullptr || m_stream != nullptr) return 1;
  m_streamRecord = OvStream{stream, readStream, seekStream, streamPosition, streamSize};
  OvPcmFormat found{};
  if (m_decoder->ops->open(m_decoder, &m_streamRecord, &found) != 0) return 1;
  if (found.channels < 1 || found.channels > 2 || found.rate == 0) return 1;
  fillPcmFormat(m_format, found.channels, found.rate, format->requestedDurationMs);
  m_format.durationMs = found.durationMs;
  *format = m_format;
  m_stream = stream;
  return 0;
}

bool LibraryDecoder::Decode(WaveHeader* block, uint32_t /*capacityBytes*/) {
  if (m_stream == nullptr || block == nullptr) return false;
  block->dwBytesRecorded = 0;
  const uint32_t frameBytes = m_format.wave.nBlockAlign;
  const uint32_t wantedFrames = block->dwBufferLength / frameBytes;
  // Filled whole unless the stream ends, as the built-in decoders do.
  while (block->dwBytesRecorded / frameBytes < wantedFrames) {
    auto* pcm = reinterpret_cast<int16_t*>(block->lpData + block->dwBytesRecorded);
    const int32_t room = static_cast<int32_t>(wantedFrames - block->dwBytesRecorded / frameBytes);
    const int32_t frames = m_decoder->ops->decode(m_decoder, pcm, room);
    if (frames <= 0) break;
    int32_t before = 0;
    if (m_decoder->ops->newPart(m_decoder, &before) == 1) {
      m_newPart.set(block->dwBytesRecorded + static_cast<uint32_t>(before) * frameBytes);
    }
    block->dwBytesRecorded += static_cast<uint32_t>(frames) * frameBytes;
  }
  if (block->dwBytesRecorded == 0) return false;
  return runFilters(block) && block->dwBytesRecorded > 0;
}

int32_t LibraryDecoder::GetPosition(bool inTime) {
  if (m_stream == nullptr) return 0;
  if (inTime) return m_decoder->ops->positionMs(m_decoder);
  return static_cast<int32_t>(m_stream->GetPosition());
}

int32_t LibraryDecoder::Seek(int32_t position, bool byTime) {
  if (m_stream == nullptr) return -1;
  return m_decoder->ops->seek(m_decoder, position, byTime ? 1 : 0);
}

bool LibraryDecoder::GetFormat(AudioFormat* format) {
  if (m_stream == nullptr || format == nullptr) return false;
  *format = m_format;
  return true;
}

int32_t LibraryDecoder::readTags(void* out) {
  if (m_stream == nullptr || out == nullptr) return -1;
  TagInfo& tags = *static_cast<TagInfo*>(out);
  tags = TagInfo{};
  int32_t length = 0;
  for (int32_t i = 0;; ++i) {
    const char* comment = m_decoder->ops->comment(m_decoder, i, &length);
    if (comment == nullptr) break;
    if (length > 0) OggDecoder::readComment(std::string_view(comment, length), tags);
  }
  return 0;
}

int32_t LibraryDecoder::Control(int32_t code, void* out, void* /*out2*/) {
  switch (code) {
    case kControlImplementation:
      return kImplementationConstant;
    case kControlDuration:
      return static_cast<int32_t>(m_format.durationMs);
    case kControlConstant:
      return 1;
    case kControlBuildSeekIndex:
    case kControlGetSeekIndex:
    case kControlSetSeekIndex:
      return 0;
    case kControlDescription:
      if (m_stream == nullptr) return -1;
      return DecoderDescription::write(static_cast<char16_t*>(out),
                                       m_decoder->ops->codecName(m_decoder),
                                       m_decoder->ops->bitrateKbps(m_decoder), m_format);
    case kControlRewind:
      Seek(0, true);
      return 0;
    case kControlReadTags:
      return readTags(out);
    case kControlTagsChanged:
      return m_newPart.take(out);
    default:
      return kControlUnknown;
  }
}

void LibraryDecoder::Release() { delete this; }

}  // namespace orvel
