#include "audio/OggDecoder.h"

#include <tremor/ivorbisfile.h>

#include <cstring>
#include <string_view>

#include "audio/DecoderDescription.h"

namespace orvel {
namespace {

size_t readFromStream(void* buffer, size_t size, size_t count, void* source) {
  const int32_t got =
      static_cast<DataStream*>(source)->Read(buffer, static_cast<int32_t>(size * count));
  return got > 0 ? static_cast<size_t>(got) : 0;
}

// Tremor expects fseek's answer: 0 on success, -1 when the stream cannot seek.
int seekStream(void* source, ogg_int64_t offset, int whence) {
  if (whence < 0 || whence > 2) return -1;
  const int64_t result = static_cast<DataStream*>(source)->Seek(
      static_cast<int32_t>(offset), static_cast<DataStream::SeekOrigin>(whence));
  return result == -1 ? -1 : 0;
}

int closeStream(void*) { return 0; }  // the decoder never closes the stream

long tellStream(void* source) {
  return static_cast<long>(static_cast<DataStream*>(source)->GetPosition());
}

constexpr ov_callbacks kCallbacks = {readFromStream, seekStream, closeStream, tellStream};

}  // namespace

OggDecoder::OggDecoder() = default;

OggDecoder::~OggDecoder() {
  if (m_file) ov_clear(m_file.get());
}

int32_t OggDecoder::Open(DataStream* stream, AudioFormat* format) {
  if (stream == nullptr || format == nullptr || m_file) return 1;
  auto file = std::make_unique<OggVorbis_File>();
  std::memset(file.get(), 0, sizeof(OggVorbis_File));
  stream->Seek(0, DataStream::kFromStart);
  if (ov_open_callbacks(stream, file.get(), nullptr, 0, kCallbacks) != 0) return 1;
  const vorbis_info* info = ov_info(file.get(), -1);
  if (info == nullptr || info->channels < 1 || info->channels > 2) {
    ov_clear(file.get());
    return 1;
  }
  fillPcmFormat(m_format, static_cast<uint16_t>(info->channels), static_cast<uint32_t>(info->rate),
                format->requestedDurationMs);
  const ogg_int64_t totalMs = ov_time_total(file.get(), -1);
  m_format.durationMs = totalMs < 0 ? 0 : static_cast<uint32_t>(totalMs);
  *format = m_format;
  m_file = std::move(file);
  m_stream = stream;
  return 0;
}

bool OggDecoder::Decode(WaveHeader* block, uint32_t /*capacityBytes*/) {
  if (!m_file || block == nullptr) return false;
  block->dwBytesRecorded = 0;
  const uint32_t wanted = block->dwBufferLength;
  while (block->dwBytesRecorded < wanted) {
    int link = 0;
    const long got = ov_read(m_file.get(), block->lpData + block->dwBytesRecorded,
                             static_cast<int>(wanted - block->dwBytesRecorded), &link);
    if (got == OV_HOLE) continue;  // a gap in the data: read on
    if (got <= 0) return false;    // end of stream, a bad link or another error
    if (m_link >= 0 && link != m_link) m_newLink.set(block->dwBytesRecorded);
    m_link = link;
    block->dwBytesRecorded += static_cast<uint32_t>(got);
  }
  return runFilters(block) && block->dwBytesRecorded > 0;
}

int32_t OggDecoder::GetPosition(bool inTime) {
  if (m_stream == nullptr) return 0;
  if (inTime) return static_cast<int32_t>(ov_time_tell(m_file.get()));
  return static_cast<int32_t>(m_stream->GetPosition());
}

int32_t OggDecoder::Seek(int32_t position, bool byTime) {
  if (m_stream == nullptr) return 0;
  if (byTime) return ov_time_seek(m_file.get(), position) == 0 ? position : -1;
  return static_cast<int32_t>(m_stream->Seek(position, DataStream::kFromStart));
}

bool OggDecoder::GetFormat(AudioFormat* format) {
  if (m_stream == nullptr || format == nullptr) return false;
  *format = m_format;
  return true;
}

void OggDecoder::readComment(std::string_view comment, TagInfo& tags) {
  static constexpr struct {
    std::string_view key;
    std::optional<WString> TagInfo::*field;
  } kKeys[] = {{"TITLE", &TagInfo::title},   {"ALBUM", &TagInfo::album},
               {"ARTIST", &TagInfo::artist}, {"GENRE", &TagInfo::genre},
               {"DATE", &TagInfo::year},     {"TRACKNUMBER", &TagInfo::track}};
  const size_t equals = comment.find('=');
  if (equals == std::string_view::npos) return;
  const WString key = fromAscii(comment.substr(0, equals));
  for (const auto& known : kKeys) {
    if (equalsNoCase(key, fromAscii(known.key))) {
      tags.*known.field = decodeAnsi(comment.substr(equals + 1));
      return;
    }
  }
}

void OggDecoder::readComments(const vorbis_comment& comments, TagInfo& tags) {
  for (int i = 0; i < comments.comments; ++i) {
    if (comments.user_comments[i] == nullptr || comments.comment_lengths[i] < 0) continue;
    readComment(std::string_view(comments.user_comments[i],
                                 static_cast<size_t>(comments.comment_lengths[i])),
                tags);
  }
}

int32_t OggDecoder::readTags(void* out) {
  if (m_stream == nullptr || out == nullptr) return -1;
  TagInfo& tags = *static_cast<TagInfo*>(out);
  tags = TagInfo{};
  const vorbis_comment* comments = ov_comment(m_file.get(), -1);
  if (comments == nullptr) return -1;
  readComments(*comments, tags);
  return 0;
}

int32_t OggDecoder::Control(int32_t code, void* out, void* /*out2*/) {
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
      return DecoderDescription::write(
          static_cast<char16_t*>(out), "OGG",
          DecoderDescription::bitrateKbps(m_stream->GetSize(), m_format.durationMs), m_format);
    case kControlRewind:
      Seek(0, true);
      return 0;
    case kControlReadTags:
      return readTags(out);
    case kControlTagsChanged:
      return m_newLink.take(out);
    default:
      return kControlUnknown;
  }
}

void OggDecoder::Release() { delete this; }

}  // namespace orvel
