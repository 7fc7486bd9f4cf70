#include "engine/hls/Mp4Box.h"

#include <cstring>

namespace orvel {
namespace {

constexpr size_t kHeaderBytes = 8;
constexpr size_t kLargeHeaderBytes = 16;

}  // namespace

uint64_t Mp4Box::bigEndian(const uint8_t* data, size_t bytes) {
  uint64_t value = 0;
  for (size_t i = 0; i < bytes; ++i) value = value << 8 | data[i];
  return value;
}

Mp4Box::Read Mp4Box::read(const uint8_t* data, size_t size, Mp4Box& box) {
  box.headerBytes = 0;
  if (size < kHeaderBytes) return Read::kNeedMore;
  std::memcpy(box.type, data + 4, 4);
  const uint64_t declared = bigEndian(data, 4);
  if (declared == 1 && size < kLargeHeaderBytes) return Read::kNeedMore;
  box.headerBytes = declared == 1 ? kLargeHeaderBytes : kHeaderBytes;
  box.boxBytes = declared == 1 ? bigEndian(data + 8, 8) : declared;
  box.toEnd = declared == 0;
  if (box.toEnd) {
    box.boxBytes = size;
    return Read::kWhole;
  }
  if (box.boxBytes < box.headerBytes) return Read::kBad;
  return box.boxBytes <= size ? Read::kWhole : Read::kNeedMore;
}

bool Mp4Box::find(const uint8_t* data, size_t size, std::string_view name, const uint8_t*& payload,
                  size_t& payloadBytes, size_t& at) {
  while (at < size) {
    Mp4Box box;
    if (read(data + at, size - at, box) != Read::kWhole) return false;
    const size_t start = at;
    at += static_cast<size_t>(box.boxBytes);
    if (box.is(name)) {
      payload = data + start + box.headerBytes;
      payloadBytes = static_cast<size_t>(box.boxBytes) - box.headerBytes;
      return true;
    }
  }
  return false;
}

bool Mp4Box::find(const uint8_t* data, size_t size, std::string_view name, const uint8_t*& payload,
                  size_t& payloadBytes) {
  size_t at = 0;
  return find(data, size, name, payload, payloadBytes, at);
}

}  // namespace orvel
