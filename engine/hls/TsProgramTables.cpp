#include "engine/hls/TsProgramTables.h"

namespace orvel {
namespace {

constexpr uint8_t kPatTable = 0x00;
constexpr uint8_t kPmtTable = 0x02;
constexpr size_t kSectionHeaderBytes = 8;  // table id up to the last section number
constexpr size_t kCrcBytes = 4;
constexpr uint8_t kStreamMpeg1Audio = 0x03;
constexpr uint8_t kStreamMpeg2Audio = 0x04;
constexpr uint8_t kStreamAdts = 0x0F;
constexpr uint8_t kStreamPesMetadata = 0x15;

uint16_t field13(const uint8_t* p) { return static_cast<uint16_t>((p[0] & 0x1F) << 8 | p[1]); }
uint16_t field12(const uint8_t* p) { return static_cast<uint16_t>((p[0] & 0x0F) << 8 | p[1]); }

// The section of table `table` in the payload: its first byte after the header and its bytes up
// to the CRC. False when the payload does not hold the whole section.
bool section(const uint8_t* payload, size_t size, uint8_t table, const uint8_t*& body,
             size_t& bodyBytes) {
  if (size < 1 || payload[0] >= size - 1) return false;
  const uint8_t* start = payload + 1 + payload[0];
  const size_t left = size - 1 - payload[0];
  if (left < kSectionHeaderBytes + kCrcBytes || start[0] != table) return false;
  const size_t length = field12(start + 1);  // bytes after the length field
  if (length + 3 > left || length < kSectionHeaderBytes - 3 + kCrcBytes) return false;
  body = start + kSectionHeaderBytes;
  bodyBytes = length + 3 - kSectionHeaderBytes - kCrcBytes;
  return true;
}

}  // namespace

uint16_t TsProgramTables::readPat(const uint8_t* payload, size_t size) {
  const uint8_t* body = nullptr;
  size_t bytes = 0;
  if (!section(payload, size, kPatTable, body, bytes)) return kNoPid;
  for (size_t at = 0; at + 4 <= bytes; at += 4) {
    const bool networkPid = body[at] == 0 && body[at + 1] == 0;
    if (!networkPid) return field13(body + at + 2);
  }
  return kNoPid;
}

bool TsProgramTables::readPmt(const uint8_t* payload, size_t size, Streams& streams) {
  const uint8_t* body = nullptr;
  size_t bytes = 0;
  if (!section(payload, size, kPmtTable, body, bytes) || bytes < 4) return false;
  size_t at = 4 + field12(body + 2);  // after the PCR PID and the program descriptors
  streams = Streams{};
  while (at + 5 <= bytes) {
    const uint8_t type = body[at];
    const uint16_t pid = field13(body + at + 1);
    if (streams.audio == Audio::kNone) {
      if (type == kStreamAdts) streams.audio = Audio::kAdts;
      if (type == kStreamMpeg1Audio || type == kStreamMpeg2Audio) streams.audio = Audio::kMpeg;
      if (streams.audio != Audio::kNone) streams.audioPid = pid;
    }
    if (type == kStreamPesMetadata && streams.id3Pid == kNoPid) streams.id3Pid = pid;
    at += 5 + field12(body + at + 3);
  }
  return true;
}

}  // namespace orvel
