#include "audio/Mp3Decoder.h"

#include <algorithm>
#include <cstring>

#include "audio/DecoderDescription.h"
#include "audio/Id3TagReader.h"
#include "audio/Mp3FrameScan.h"

namespace orvel {

Mp3Decoder::Mp3Decoder(const Mp3PrimitivesLibrary* library) : m_library(library) {}

Mp3Decoder::~Mp3Decoder() { freeBlocks(); }

void Mp3Decoder::freeBlocks() {
  if (m_state && m_library != nullptr && m_library->release != nullptr) {
    m_library->release(m_state.get());
  }
  m_reader.reset();
  m_format.reset();
  m_state.reset();
  m_input.reset();
  m_pcm.clear();
  m_leftover = nullptr;
  m_leftoverBytes = 0;
}

int32_t Mp3Decoder::Open(DataStream* stream, AudioFormat* format) {
  if (m_library == nullptr) m_library = &Mp3PrimitivesLibrary::shared();
  // A decoder is opened once; a second Open is refused.
  if (!m_library->usable() || stream == nullptr || format == nullptr || m_reader) return 1;

  m_reader = std::make_unique<ByteReader>(stream);
  m_reader->refill();
  m_format = std::make_unique<AudioFormat>();
  m_state = std::make_unique<Mp3DecoderState>();
  m_input = std::make_unique<Mp3InputContext>();
  std::memset(m_state.get(), 0, sizeof(Mp3DecoderState));
  std::memset(m_input.get(), 0, sizeof(Mp3InputContext));
  m_positionMs = 0;
  m_input->read = &ByteReader::readCallback;
  m_input->reader = m_reader.get();

  Mp3FrameScan scan;
  if (!scan.run(*m_reader, format->requestedDurationMs, *m_format)) {
    freeBlocks();
    return 1;
  }
  *format = *m_format;

  restartReading(*stream);
  uint32_t ignoredA = 0;
  uint32_t ignoredB = 0;
  if (m_library->init(m_input.get(), m_state.get(), &format->blockSize, &ignoredA, &ignoredB) ==
      0) {
    freeBlocks();
    return 1;
  }
  restartReading(*stream);
  m_pcm.assign(std::max<uint32_t>(format->blockSize, 1), 0);
  m_leftover = reinterpret_cast<const char*>(m_pcm.data());
  m_leftoverBytes = 0;
  m_input->counter1 = 0;
  m_input->counter2 = 0;
  m_input->capacity = kMp3InputBufferBytes;
  return 0;
}

void Mp3Decoder::restartReading(DataStream& stream) {
  if (stream.Seek(0, DataStream::kFromStart) < 0) {
    m_reader->rewindChunk();
  } else {
    m_reader->reprime();
  }
}

uint32_t Mp3Decoder::decodeFrameInto(char* destination, uint32_t room) {
  uint32_t count = 0;
  const int32_t result =
      m_library->decodeFrame(m_input.get(), m_pcm.data(), &count, 25, m_state.get());
  count = std::min<uint32_t>(count, static_cast<uint32_t>(m_pcm.size()));
  if (result != 0 && count == 0) return 0;
  const uint32_t bytes = 2 * count;
  const char* pcm = reinterpret_cast<const char*>(m_pcm.data());
  if (bytes <= room) {
    std::memcpy(destination, pcm, bytes);
    return bytes;
  }
  std::memcpy(destination, pcm, room);
  m_leftover = pcm + room;
  m_leftoverBytes = bytes - room;
  return room;
}

bool Mp3Decoder::Decode(WaveHeader* block, uint32_t /*capacityBytes*/) {
  if (!m_reader || block == nullptr) return false;
  block->dwBytesRecorded = 0;
  const uint32_t wanted = block->dwBufferLength;
  const uint32_t bytesPerSec = m_format->wave.nAvgBytesPerSec;
  if (wanted <= m_leftoverBytes) {
    std::memcpy(block->lpData, m_leftover, wanted);
    m_leftover += wanted;
    m_leftoverBytes -= wanted;
    block->dwBytesRecorded = wanted;
    m_positionMs += static_cast<int32_t>(uint64_t{wanted} * 1000 / bytesPerSec);
    // Served from the last frame alone: the chain decides, even for an empty request.
    return runFilters(block);
  }
  std::memcpy(block->lpData, m_leftover, m_leftoverBytes);
  block->dwBytesRecorded = m_leftoverBytes;
  m_leftover = reinterpret_cast<const char*>(m_pcm.data());
  m_leftoverBytes = 0;
  while (block->dwBytesRecorded < wanted) {
    const uint32_t got =
        decodeFrameInto(block->lpData + block->dwBytesRecorded, wanted - block->dwBytesRecorded);
    if (got == 0) break;
    block->dwBytesRecorded += got;
  }
  m_positionMs += static_cast<int32_t>(uint64_t{block->dwBytesRecorded} * 1000 / bytesPerSec);
  return runFilters(block) && block->dwBytesRecorded > 0;
}

void Mp3Decoder::resetDecoding() {
  m_leftover = reinterpret_cast<const char*>(m_pcm.data());
  m_leftoverBytes = 0;
  m_input->counter1 = 0;
  m_input->counter2 = 0;
  m_input->capacity = kMp3InputBufferBytes;
  if (m_library->release != nullptr) m_library->release(m_state.get());
  std::memset(m_state.get(), 0, sizeof(Mp3DecoderState));
}

int32_t Mp3Decoder::Seek(int32_t position, bool byTime) {
  if (!m_reader) return -1;
  resetDecoding();
  DataStream* stream = m_reader->source();
  const int64_t size = stream->GetSize();
  const uint32_t durationMs = m_format->durationMs;
  if (!byTime) {
    const int64_t result = stream->Seek(position, DataStream::kFromStart);
    m_reader->reprime();
    m_positionMs = size > 0 ? static_cast<int32_t>(static_cast<float>(position) /
                                                   static_cast<float>(size) * durationMs)
                            : 0;
    return static_cast<int32_t>(result);
  }
  const int64_t offset = durationMs > 0 && size > 0
                             ? static_cast<int64_t>(static_cast<float>(position) / durationMs *
                                                    static_cast<float>(size))
                             : 0;
  stream->Seek(offset, DataStream::kFromStart);
  m_reader->reprime();
  m_positionMs = position;
  return position;
}

int32_t Mp3Decoder::GetPosition(bool inTime) {
  if (!m_reader) return 0;
  if (inTime) return m_positionMs;
  return static_cast<int32_t>(m_reader->position());
}

bool Mp3Decoder::GetFormat(AudioFormat* format) {
  if (format == nullptr || !m_format) return false;
  *format = *m_format;
  return true;
}

int32_t Mp3Decoder::readTags(void* out, void* stream) {
  if (out == nullptr) return -1;
  DataStream* source = stream != nullptr ? static_cast<DataStream*>(stream)
                                         : (m_reader ? m_reader->source() : nullptr);
  if (source == nullptr) return -1;
  // The tags lie at both ends of the file; the position is put back so that decoding goes on
  // where it was.
  const int64_t position = source->GetPosition();
  const bool found = Id3TagReader::read(*source, *static_cast<TagInfo*>(out));
  if (position >= 0) source->Seek(position, DataStream::kFromStart);
  return found ? 0 : -1;
}

int32_t Mp3Decoder::Control(int32_t code, void* out, void* out2) {
  switch (code) {
    case kControlImplementation:
      return kImplementationConstant;
    case kControlDuration:
      return m_format ? static_cast<int32_t>(m_format->durationMs) : 0;
    case kControlConstant:
      return 1;
    case kControlBuildSeekIndex:
      return 1;  // no seek index is built
    case kControlDescription: {
      if (!m_format) return -1;
      const int64_t size = m_reader->source()->GetSize();
      return DecoderDescription::write(static_cast<char16_t*>(out), "MP3",
                                       DecoderDescription::bitrateKbps(size, m_format->durationMs),
                                       *m_format);
    }
    case kControlRewind:
      Seek(0, false);
      return 0;
    case kControlGetSeekIndex:
      return -1;
    case kControlSetSeekIndex:
      return 0;
    case kControlReadTags:
      return readTags(out, out2);
    default:
      return kControlUnknown;
  }
}

void Mp3Decoder::Release() { delete this; }

}  // namespace orvel
