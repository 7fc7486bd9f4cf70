#include "engine/hls/Mp4AudioTrack.h"

#include <iterator>
#include <string_view>

#include "engine/hls/Mp4Box.h"

namespace orvel {
namespace {

constexpr uint8_t kEsDescriptor = 0x03;
constexpr uint8_t kDecoderConfig = 0x04;
constexpr uint8_t kDecoderSpecificInfo = 0x05;
constexpr uint8_t kAacObjectTypes[] = {0x40, 0x66, 0x67, 0x68};
constexpr uint8_t kMpegAudioObjectTypes[] = {0x69, 0x6B};
constexpr size_t kAudioSampleEntryBytes = 28;
constexpr uint32_t kRates[] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                               22050, 16000, 12000, 11025, 8000,  7350};

uint32_t bigEndian32(const uint8_t* p) { return static_cast<uint32_t>(Mp4Box::bigEndian(p, 4)); }

// An MPEG-4 descriptor at `at`: its tag and body. Moves `at` past it.
bool descriptor(const uint8_t* data, size_t size, size_t& at, uint8_t& tag, const uint8_t*& body,
                size_t& bodyBytes) {
  if (at >= size) return false;
  tag = data[at++];
  size_t length = 0;
  for (int i = 0; i < 4; ++i) {
    if (at >= size) return false;
    const uint8_t byte = data[at++];
    length = length << 7 | (byte & 0x7F);
    if ((byte & 0x80) == 0) break;
  }
  if (length > size - at) return false;
  body = data + at;
  bodyBytes = length;
  at += length;
  return true;
}

class BitReader {
 public:
  BitReader(const uint8_t* data, size_t size) : m_data(data), m_bits(size * 8) {}
  bool read(unsigned count, uint32_t& value) {
    if (m_at + count > m_bits) return false;
    value = 0;
    for (unsigned i = 0; i < count; ++i, ++m_at) {
      value = value << 1 | (m_data[m_at / 8] >> (7 - m_at % 8) & 1);
    }
    return true;
  }

 private:
  const uint8_t* m_data;
  size_t m_bits;
  size_t m_at = 0;
};

bool readAudioSpecificConfig(const uint8_t* data, size_t size, Mp4AudioTrack& track) {
  BitReader bits(data, size);
  uint32_t objectType = 0;
  uint32_t rateIndex = 0;
  uint32_t channels = 0;
  if (!bits.read(5, objectType)) return false;
  if (objectType == 31) {
    if (!bits.read(6, objectType)) return false;
    objectType += 32;
  }
  if (!bits.read(4, rateIndex)) return false;
  if (rateIndex == 15) {
    uint32_t rate = 0;
    if (!bits.read(24, rate)) return false;
    rateIndex = 0;
    while (rateIndex < std::size(kRates) && kRates[rateIndex] != rate) ++rateIndex;
  }
  if (rateIndex >= std::size(kRates) || !bits.read(4, channels)) return false;
  track.objectType = objectType;
  track.rateIndex = rateIndex;
  track.channelConfig = channels;
  return true;
}

// The ES descriptor inside an esds box's payload.
bool readEsds(const uint8_t* data, size_t size, Mp4AudioTrack& track) {
  size_t at = 4;  // version and flags
  uint8_t tag = 0;
  const uint8_t* es = nullptr;
  size_t esBytes = 0;
  if (!descriptor(data, size, at, tag, es, esBytes) || tag != kEsDescriptor || esBytes < 3) {
    return false;
  }
  const uint8_t flags = es[2];
  size_t inner = 3 + ((flags & 0x80) ? 2 : 0);
  if ((flags & 0x40) != 0) inner += inner < esBytes ? 1 + size_t{es[inner]} : esBytes;
  if ((flags & 0x20) != 0) inner += 2;
  const uint8_t* config = nullptr;
  size_t configBytes = 0;
  if (!descriptor(es, esBytes, inner, tag, config, configBytes) || tag != kDecoderConfig ||
      configBytes < 13) {
    return false;
  }
  for (uint8_t type : kMpegAudioObjectTypes) track.mpegAudio = track.mpegAudio || config[0] == type;
  if (track.mpegAudio) return true;
  bool aac = false;
  for (uint8_t type : kAacObjectTypes) aac = aac || config[0] == type;
  size_t specificAt = 13;
  const uint8_t* specific = nullptr;
  size_t specificBytes = 0;
  return aac && descriptor(config, configBytes, specificAt, tag, specific, specificBytes) &&
         tag == kDecoderSpecificInfo && readAudioSpecificConfig(specific, specificBytes, track);
}

bool readSampleEntry(const uint8_t* stbl, size_t size, Mp4AudioTrack& track) {
  const uint8_t* stsd = nullptr;
  size_t stsdBytes = 0;
  if (!Mp4Box::find(stbl, size, "stsd", stsd, stsdBytes) || stsdBytes < 8) return false;
  const uint8_t* entry = nullptr;
  size_t entryBytes = 0;
  if (!Mp4Box::find(stsd + 8, stsdBytes - 8, "mp4a", entry, entryBytes)) return false;
  if (entryBytes < kAudioSampleEntryBytes) return false;
  // QuickTime's sound description versions 1 and 2 are longer.
  const unsigned version = unsigned{entry[8]} << 8 | entry[9];
  const size_t skip = kAudioSampleEntryBytes + (version == 1 ? 16 : version == 2 ? 36 : 0);
  const uint8_t* esds = nullptr;
  size_t esdsBytes = 0;
  return skip <= entryBytes &&
         Mp4Box::find(entry + skip, entryBytes - skip, "esds", esds, esdsBytes) &&
         readEsds(esds, esdsBytes, track);
}

bool readTrak(const uint8_t* trak, size_t size, Mp4AudioTrack& track) {
  const uint8_t* tkhd = nullptr;
  const uint8_t* mdia = nullptr;
  const uint8_t* hdlr = nullptr;
  const uint8_t* minf = nullptr;
  const uint8_t* stbl = nullptr;
  size_t tkhdBytes = 0, mdiaBytes = 0, hdlrBytes = 0, minfBytes = 0, stblBytes = 0;
  if (!Mp4Box::find(trak, size, "tkhd", tkhd, tkhdBytes) ||
      !Mp4Box::find(trak, size, "mdia", mdia, mdiaBytes) ||
      !Mp4Box::find(mdia, mdiaBytes, "hdlr", hdlr, hdlrBytes) || hdlrBytes < 12 ||
      std::string_view(reinterpret_cast<const char*>(hdlr) + 8, 4) != "soun" ||
      !Mp4Box::find(mdia, mdiaBytes, "minf", minf, minfBytes) ||
      !Mp4Box::find(minf, minfBytes, "stbl", stbl, stblBytes)) {
    return false;
  }
  const size_t idAt = tkhdBytes > 0 && tkhd[0] == 1 ? 20 : 12;
  if (tkhdBytes < idAt + 4) return false;
  track.trackId = bigEndian32(tkhd + idAt);
  return readSampleEntry(stbl, stblBytes, track);
}

}  // namespace

bool Mp4AudioTrack::read(const uint8_t* data, size_t size, Mp4AudioTrack& track) {
  const uint8_t* moov = nullptr;
  size_t moovBytes = 0;
  if (!Mp4Box::find(data, size, "moov", moov, moovBytes)) return false;
  const uint8_t* trak = nullptr;
  size_t trakBytes = 0;
  size_t at = 0;
  bool found = false;
  while (!found && Mp4Box::find(moov, moovBytes, "trak", trak, trakBytes, at)) {
    track = Mp4AudioTrack{};
    found = readTrak(trak, trakBytes, track);
  }
  if (!found) return false;
  const uint8_t* mvex = nullptr;
  const uint8_t* trex = nullptr;
  size_t mvexBytes = 0;
  size_t trexBytes = 0;
  at = 0;
  if (Mp4Box::find(moov, moovBytes, "mvex", mvex, mvexBytes)) {
    while (Mp4Box::find(mvex, mvexBytes, "trex", trex, trexBytes, at)) {
      if (trexBytes >= 24 && bigEndian32(trex + 4) == track.trackId) {
        track.defaultSampleBytes = bigEndian32(trex + 16);
      }
    }
  }
  return true;
}

}  // namespace orvel
