#include "engine/hls/Id3Titles.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/Text.h"

namespace orvel {
namespace {

constexpr uint8_t kUnsynchronised = 0x80;
constexpr uint8_t kExtendedHeader = 0x40;
constexpr uint8_t kFooter = 0x10;
constexpr std::string_view kTimestampOwner = "com.apple.streaming.transportStreamTimestamp";
constexpr std::string_view kStreamTitle = "StreamTitle='";

uint32_t syncsafe(const uint8_t* p) {
  return uint32_t{p[0]} << 21 | uint32_t{p[1]} << 14 | uint32_t{p[2]} << 7 | p[3];
}

uint32_t bigEndian(const uint8_t* p, size_t bytes) {
  uint32_t value = 0;
  for (size_t i = 0; i < bytes; ++i) value = value << 8 | p[i];
  return value;
}

// Undoes unsynchronisation: every 0xFF 0x00 pair loses its 0x00.
std::vector<uint8_t> resynchronise(const uint8_t* data, size_t size) {
  std::vector<uint8_t> out;
  out.reserve(size);
  for (size_t i = 0; i < size; ++i) {
    out.push_back(data[i]);
    if (data[i] == 0xFF && i + 1 < size && data[i + 1] == 0x00) ++i;
  }
  return out;
}

// 16-bit text up to `end`: the byte order mark decides, else `bigEndian`.
std::string decodeUtf16(const uint8_t* bytes, size_t end, bool bigEndian) {
  size_t at = 0;
  if (end >= 2 &&
      ((bytes[0] == 0xFE && bytes[1] == 0xFF) || (bytes[0] == 0xFF && bytes[1] == 0xFE))) {
    bigEndian = bytes[0] == 0xFE;
    at = 2;
  }
  WString text;
  for (; at < end; at += 2) {
    text.push_back(bigEndian ? static_cast<char16_t>(bytes[at] << 8 | bytes[at + 1])
                             : static_cast<char16_t>(bytes[at] | bytes[at + 1] << 8));
  }
  return toUtf8(text);
}

// The first string of a text field in ID3 encoding `encoding`, as UTF-8; `used` is how many
// bytes it took with its terminator.
std::string decodeText(uint8_t encoding, const uint8_t* bytes, size_t size, size_t& used) {
  if (encoding == 1 || encoding == 2) {
    size_t end = 0;
    while (end + 1 < size && (bytes[end] != 0 || bytes[end + 1] != 0)) end += 2;
    used = end + 1 < size ? end + 2 : size;
    return decodeUtf16(bytes, std::min(end, size & ~size_t{1}), encoding == 2);
  }
  size_t end = 0;
  while (end < size && bytes[end] != 0) ++end;
  used = end < size ? end + 1 : size;
  return toUtf8(decodeAnsi(std::string_view(reinterpret_cast<const char*>(bytes), end)));
}

// The quoted text after "StreamTitle='" up to the next "'"; "" when there is none.
std::string streamTitle(std::string_view text) {
  const size_t key = text.find(kStreamTitle);
  if (key == std::string_view::npos) return {};
  const size_t start = key + kStreamTitle.size();
  const size_t end = text.find('\'', start);
  return std::string(text.substr(start, end == std::string_view::npos ? end : end - start));
}

struct Found {
  std::string title;
  std::string artist;
  std::string streamTitle;
};

void readFrame(std::string_view id, const uint8_t* data, size_t size, Found& found) {
  if (size == 0) return;
  size_t used = 0;
  if (id == "TIT2" || id == "TT2") {
    found.title = decodeText(data[0], data + 1, size - 1, used);
  } else if (id == "TPE1" || id == "TP1") {
    found.artist = decodeText(data[0], data + 1, size - 1, used);
  } else if ((id == "TXXX" || id == "TXX") && found.streamTitle.empty()) {
    const std::string description = decodeText(data[0], data + 1, size - 1, used);
    const size_t valueAt = 1 + used;
    const std::string value = decodeText(data[0], data + valueAt, size - valueAt, used);
    found.streamTitle = streamTitle(value);
    if (found.streamTitle.empty()) found.streamTitle = streamTitle(description);
  } else if ((id == "PRIV") && found.streamTitle.empty()) {
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    if (all.substr(0, all.find('\0')) == kTimestampOwner) return;
    found.streamTitle = toUtf8(decodeAnsi(streamTitle(all)));
  }
}

// Walks the frames of a tag body (after the header and any extended header).
void readFrames(uint8_t major, const uint8_t* body, size_t size, Found& found) {
  const size_t headerBytes = major == 2 ? 6 : 10;
  const size_t idBytes = major == 2 ? 3 : 4;
  size_t at = 0;
  while (at + headerBytes <= size && body[at] != 0) {
    const uint8_t* header = body + at;
    const uint32_t frameBytes = major == 2   ? bigEndian(header + 3, 3)
                                : major == 4 ? syncsafe(header + 4)
                                             : bigEndian(header + 4, 4);
    if (frameBytes > size - at - headerBytes) return;
    const std::string_view id(reinterpret_cast<const char*>(header), idBytes);
    const uint8_t* data = header + headerBytes;
    const uint8_t format = major == 2 ? 0 : header[9];
    // Compressed or encrypted frames are skipped (v2.3: 0xC0, v2.4: 0x0C).
    const bool unreadable = major == 3 ? (format & 0xC0) != 0 : (format & 0x0C) != 0;
    if (!unreadable && major == 4 && (format & 0x02) != 0) {
      const std::vector<uint8_t> clear = resynchronise(data, frameBytes);
      readFrame(id, clear.data(), clear.size(), found);
    } else if (!unreadable) {
      readFrame(id, data, frameBytes, found);
    }
    at += headerBytes + frameBytes;
  }
}

}  // namespace

size_t Id3Titles::tagBytes(const uint8_t* header) {
  if (std::memcmp(header, "ID3", 3) != 0) return 0;
  if (header[3] < 2 || header[3] > 4 || header[4] == 0xFF) return 0;
  if ((header[6] | header[7] | header[8] | header[9]) & 0x80) return 0;
  const size_t footer = header[3] == 4 && (header[5] & kFooter) != 0 ? kHeaderBytes : 0;
  return kHeaderBytes + syncsafe(header + 6) + footer;
}

std::string Id3Titles::title(const uint8_t* tag, size_t size) {
  if (size < kHeaderBytes || tagBytes(tag) == 0) return {};
  const uint8_t major = tag[3];
  const uint8_t flags = tag[5];
  size_t bodyBytes = std::min<size_t>(syncsafe(tag + 6), size - kHeaderBytes);
  std::vector<uint8_t> body(tag + kHeaderBytes, tag + kHeaderBytes + bodyBytes);
  if ((flags & kUnsynchronised) != 0 && major < 4) body = resynchronise(body.data(), body.size());
  size_t start = 0;
  if ((flags & kExtendedHeader) != 0 && major >= 3 && body.size() >= 4) {
    // v2.3 counts the extended header without its size field, v2.4 with it.
    start = major == 4 ? syncsafe(body.data()) : bigEndian(body.data(), 4) + 4;
    if (start > body.size()) return {};
  }
  Found found;
  readFrames(major, body.data() + start, body.size() - start, found);
  if (!found.title.empty()) {
    return found.artist.empty() ? found.title : found.artist + " - " + found.title;
  }
  return found.streamTitle;
}

}  // namespace orvel
