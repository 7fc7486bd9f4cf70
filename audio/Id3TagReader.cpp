#include "audio/Id3TagReader.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "audio/Id3Genres.h"

namespace orvel {
namespace {

constexpr int kKnownFrames = 6;
constexpr int64_t kVersion1Bytes = 128;
constexpr uint32_t kHighestVersion = 1023;  // 3.255: major version 3 at most

bool readExactly(DataStream& stream, void* buffer, int32_t size) {
  return stream.Read(buffer, size) == size;
}

uint32_t bigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// 16-bit text, with or without a byte order mark; stops at the first zero unit.
WString decodeUtf16(const uint8_t* bytes, size_t length) {
  size_t at = 0;
  while (at + 1 < length && bytes[at] == 0 && bytes[at + 1] == 0) at += 2;
  bool bigEndian = false;
  if (at + 1 < length && bytes[at] == 0xFE && bytes[at + 1] == 0xFF) {
    bigEndian = true;
    at += 2;
  } else if (at + 1 < length && bytes[at] == 0xFF && bytes[at + 1] == 0xFE) {
    at += 2;
  }
  WString text;
  for (; at + 1 < length; at += 2) {
    const char16_t unit = bigEndian ? static_cast<char16_t>((bytes[at] << 8) | bytes[at + 1])
                                    : static_cast<char16_t>(bytes[at] | (bytes[at + 1] << 8));
    if (unit == 0) break;
    text.push_back(unit);
  }
  return text;
}

// 8-bit text (UTF-8 when valid, else Windows-1252); leading zeros skipped, stops at a zero.
WString decodeBytes(const uint8_t* bytes, size_t length) {
  size_t at = 0;
  while (at < length && bytes[at] == 0) ++at;
  size_t stop = at;
  while (stop < length && bytes[stop] != 0) ++stop;
  return decodeAnsi(std::string_view(reinterpret_cast<const char*>(bytes) + at, stop - at));
}

// Reads a text frame of `size` bytes (encoding byte included); nothing when it is empty.
bool readFrameText(DataStream& stream, uint32_t size, std::optional<WString>& field) {
  uint8_t encoding = 0;
  if (!readExactly(stream, &encoding, 1)) return false;
  std::vector<uint8_t> text(size - 1);
  if (!text.empty() && !readExactly(stream, text.data(), static_cast<int32_t>(text.size()))) {
    return false;
  }
  WString value =
      encoding == 1 ? decodeUtf16(text.data(), text.size()) : decodeBytes(text.data(), text.size());
  if (!value.empty()) field = std::move(value);
  return true;
}

std::optional<WString>* fieldFor(const char id[4], TagInfo& tags) {
  static constexpr struct {
    const char* id;
    std::optional<WString> TagInfo::*field;
  } kFrames[] = {{"TIT2", &TagInfo::title}, {"TPE1", &TagInfo::artist}, {"TALB", &TagInfo::album},
                 {"TYER", &TagInfo::year},  {"TRCK", &TagInfo::track},  {"TCON", &TagInfo::genre}};
  for (const auto& frame : kFrames) {
    if (std::memcmp(id, frame.id, 4) == 0) return &(tags.*frame.field);
  }
  return nullptr;
}

void fillIfEmpty(std::optional<WString>& field, const uint8_t* bytes, size_t length) {
  if (field) return;
  WString value = decodeBytes(bytes, length);
  if (!value.empty()) field = std::move(value);
}

}  // namespace

WString Id3TagReader::stripGenreNumber(const WString& genre) {
  if (genre.size() < 2 || genre[0] != u'(' || genre[1] == u'(') return genre;
  const size_t close = genre.find(u')');
  if (close == WString::npos) return genre;
  return genre.substr(close + 1);
}

const char* Id3TagReader::genreName(unsigned index) {
  return index < kId3GenreCount ? kId3Genres[index] : "";
}

bool Id3TagReader::readVersion2(DataStream& stream, TagInfo& tags) {
  if (stream.Seek(0, DataStream::kFromStart) != 0) return false;
  uint8_t header[10];
  if (!readExactly(stream, header, 10) || std::memcmp(header, "ID3", 3) != 0) return false;
  if ((uint32_t{header[3]} << 8 | header[4]) > kHighestVersion) return false;
  if ((header[5] & 0x41) != 0) return false;  // unsynchronised or extended header

  const int64_t size = stream.GetSize();
  int counter = kKnownFrames;
  for (;;) {
    uint8_t frame[10];
    if (!readExactly(stream, frame, 10) || frame[9] != 0) break;
    if (frame[0] == 0) break;
    const uint32_t frameBytes = bigEndian32(frame + 4);
    // A damaged tag must not make us read (or allocate) past the end of the stream.
    if (frameBytes == 0 || frameBytes > size - stream.GetPosition()) break;
    std::optional<WString>* field = fieldFor(reinterpret_cast<const char*>(frame), tags);
    if (field == nullptr) {
      if (stream.Seek(frameBytes, DataStream::kFromCurrent) == -1) break;
      continue;
    }
    if (!readFrameText(stream, frameBytes, *field)) break;
    if (field == &tags.genre && tags.genre) tags.genre = stripGenreNumber(*tags.genre);
    --counter;
  }
  return counter == 0;
}

bool Id3TagReader::readVersion1(DataStream& stream, TagInfo& tags) {
  const int64_t size = stream.GetSize();
  if (size < kVersion1Bytes) return false;
  if (stream.Seek(-kVersion1Bytes, DataStream::kFromEnd) == -1) return false;
  uint8_t record[kVersion1Bytes];
  if (!readExactly(stream, record, 3) || std::memcmp(record, "TAG", 3) != 0) return false;
  if (!readExactly(stream, record + 3, kVersion1Bytes - 3)) return false;

  const uint8_t* title = record + 3;
  const uint8_t* artist = title + 30;
  const uint8_t* album = artist + 30;
  const uint8_t* year = album + 30;
  const uint8_t* comment = year + 4;
  const uint8_t genre = comment[30];
  fillIfEmpty(tags.album, album, 30);
  fillIfEmpty(tags.artist, artist, 30);
  fillIfEmpty(tags.title, title, 30);
  fillIfEmpty(tags.year, year, 4);
  if (!tags.track && comment[28] == 0 && comment[29] != 0) {
    tags.track = fromAscii(std::to_string(comment[29]));
  }
  if (!tags.genre && genre < kId3GenreCount) tags.genre = fromAscii(kId3Genres[genre]);
  return true;
}

bool Id3TagReader::read(DataStream& stream, TagInfo& tags) {
  if (readVersion2(stream, tags)) return true;
  return readVersion1(stream, tags);
}

}  // namespace orvel
