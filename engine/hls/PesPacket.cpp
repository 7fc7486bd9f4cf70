#include "engine/hls/PesPacket.h"

#include <algorithm>

namespace orvel {
namespace {

constexpr size_t kFixedHeaderBytes = 6;     // start code, stream id, length
constexpr size_t kOptionalHeaderBytes = 3;  // flags and the header data length
constexpr uint8_t kPaddingStream = 0xBE;
constexpr uint8_t kPrivateStream2 = 0xBF;

}  // namespace

void PesPacket::reset() {
  m_state = State::kIdle;
  m_header.clear();
}

void PesPacket::take(const uint8_t* payload, size_t payloadBytes, bool start, const uint8_t*& data,
                     size_t& size) {
  data = nullptr;
  size = 0;
  if (start) {
    reset();
    m_state = State::kHeader;
  }
  if (m_state == State::kIdle) return;
  if (m_state == State::kHeader) {
    m_header.insert(m_header.end(), payload, payload + payloadBytes);
    if (!parseHeader()) return;
    // The header is whole; what is left of m_header came after it in this payload.
    const size_t rest = m_header.size();
    payload += payloadBytes - rest;
    payloadBytes = rest;
    m_header.clear();
  }
  if (m_bounded) payloadBytes = static_cast<size_t>(std::min<uint64_t>(payloadBytes, m_left));
  if (m_bounded) m_left -= payloadBytes;
  data = payload;
  size = payloadBytes;
}

// True once the header is whole; the bytes in m_header after it are then left there for take()
// to hand on. Goes idle on a header that is not one.
bool PesPacket::parseHeader() {
  const std::vector<uint8_t>& h = m_header;
  if (h.size() < kFixedHeaderBytes) return false;
  if (h[0] != 0 || h[1] != 0 || h[2] != 1) {
    reset();
    return false;
  }
  const uint8_t streamId = h[3];
  const size_t length = size_t{h[4]} << 8 | h[5];
  size_t headerBytes = kFixedHeaderBytes;
  m_hasPts = false;
  if (streamId != kPaddingStream && streamId != kPrivateStream2) {
    if (h.size() < kFixedHeaderBytes + kOptionalHeaderBytes) return false;
    headerBytes += kOptionalHeaderBytes + h[8];
    if (h.size() < headerBytes) return false;
    if ((h[7] & 0x80) != 0 && h[8] >= 5) {
      const uint8_t* p = h.data() + 9;
      m_hasPts = true;
      m_pts = (uint64_t{p[0]} >> 1 & 7) << 30 | uint64_t{p[1]} << 22 | (uint64_t{p[2]} >> 1) << 15 |
              uint64_t{p[3]} << 7 | p[4] >> 1;
    }
  }
  const size_t counted = headerBytes - kFixedHeaderBytes;
  if (length != 0 && length < counted) {
    reset();
    return false;
  }
  m_bounded = length != 0;
  m_left = m_bounded ? length - counted : 0;
  m_state = State::kPayload;
  m_header.erase(m_header.begin(), m_header.begin() + static_cast<std::ptrdiff_t>(headerBytes));
  return true;
}

}  // namespace orvel
