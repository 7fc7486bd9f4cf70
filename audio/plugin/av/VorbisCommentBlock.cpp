#include "audio/plugin/av/VorbisCommentBlock.h"

namespace orvel {
namespace {

bool readLength(const uint8_t* data, size_t size, size_t& at, size_t& length) {
  if (size - at < 4) return false;
  length = data[at] | data[at + 1] << 8 | data[at + 2] << 16 | size_t{data[at + 3]} << 24;
  at += 4;
  return length <= size - at;
}

}  // namespace

std::vector<std::string> VorbisCommentBlock::parse(const uint8_t* data, size_t size) {
  std::vector<std::string> entries;
  size_t at = 0;
  size_t length = 0;
  if (data == nullptr || !readLength(data, size, at, length)) return entries;
  at += length;  // the vendor string
  size_t count = 0;
  if (!readLength(data, size, at, count)) return entries;  // bounded: each entry takes 4 bytes
  for (size_t i = 0; i < count && readLength(data, size, at, length); ++i) {
    entries.emplace_back(reinterpret_cast<const char*>(data + at), length);
    at += length;
  }
  return entries;
}

}  // namespace orvel
