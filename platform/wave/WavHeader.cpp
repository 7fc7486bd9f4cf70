#include "platform/wave/WavHeader.h"

#include <algorithm>
#include <cstring>

namespace orvel {
namespace {

void put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void put32(uint8_t* p, uint32_t v) {
  put16(p, v & 0xFFFF);
  put16(p + 2, v >> 16);
}

}  // namespace

std::array<uint8_t, WavHeader::kBytes> WavHeader::make(const PcmFormat& format,
                                                       uint64_t dataBytes) {
  std::array<uint8_t, kBytes> header{};
  uint8_t* h = header.data();
  const auto data = static_cast<uint32_t>(std::min(dataBytes, kMaxDataBytes));
  std::memcpy(h, "RIFF", 4);
  put32(h + 4, kBytes - 8 + data);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  put32(h + 16, 16);
  put16(h + 20, 1);  // PCM
  put16(h + 22, format.channels);
  put32(h + 24, format.rate);
  put32(h + 28, format.bytesPerSecond());
  put16(h + 32, format.frameBytes());
  put16(h + 34, format.bits);
  std::memcpy(h + 36, "data", 4);
  put32(h + 40, data);
  return header;
}

}  // namespace orvel
