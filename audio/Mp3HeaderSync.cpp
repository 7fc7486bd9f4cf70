#include "audio/Mp3HeaderSync.h"

namespace orvel {
namespace {

// Checks of the second and third byte of a candidate header.
enum class Verdict { kAccept, kReject };

Verdict checkSecond(uint8_t b) {
  if ((b & 0xE0) != 0xE0) return Verdict::kReject;
  if (((b >> 3) & 3) == 1) return Verdict::kReject;  // reserved version
  if (((b >> 1) & 3) == 0) return Verdict::kReject;  // reserved layer
  return Verdict::kAccept;
}

Verdict checkThird(uint8_t b) {
  const uint8_t bitrateIndex = b >> 4;
  if (bitrateIndex == 15 || bitrateIndex == 0) return Verdict::kReject;
  if (((b >> 2) & 3) == 3) return Verdict::kReject;
  return Verdict::kAccept;
}

}  // namespace

bool Mp3HeaderSync::findHeader(ByteReader& reader, Mp3FrameHeader& header, uint32_t& word) {
  uint32_t shift = 0;   // the last four bytes taken from the source
  uint32_t refeed = 0;  // bytes of `shift` to examine again, oldest first
  int state = 0;
  // An endless stream of something else (a server sending junk as audio) must not hold the
  // reader forever: no frame header in this many bytes ends the search.
  constexpr uint32_t kMaxSearchBytes = 1 << 20;
  uint32_t searched = 0;
  for (;;) {
    uint8_t b;
    if (refeed > 0) {
      --refeed;
      b = static_cast<uint8_t>(shift >> (8 * refeed));
    } else {
      if (reader.available() == 0) {
        if (reader.source()->IsAtEnd() || reader.refill() == 0) return false;
      }
      if (++searched > kMaxSearchBytes) return false;
      b = reader.take();
      shift = (shift << 8) | b;
    }
    switch (state) {
      case 0:
        state = b == 0xFF ? 1 : 0;
        break;
      case 1:
        if (checkSecond(b) == Verdict::kAccept) {
          state = 2;
        } else {
          state = 0;
          refeed += 1;
        }
        break;
      case 2:
        if (checkThird(b) == Verdict::kAccept) {
          state = 3;
        } else {
          state = 0;
          refeed += 2;
        }
        break;
      default:
        // A header always ends on a byte fresh from the source, so `shift` holds all four.
        if ((b & 3) != 2 && refeed == 0 && Mp3FrameHeader::parse(shift, header)) {
          word = shift;
          return true;
        }
        state = 0;
        refeed += 3;
        break;
    }
  }
}

bool Mp3HeaderSync::skipFrame(ByteReader& reader, const Mp3FrameHeader& header) {
  return reader.skip(header.frameBytes > 4 ? header.frameBytes - 4 : 0);
}

}  // namespace orvel
