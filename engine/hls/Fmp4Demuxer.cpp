#include "engine/hls/Fmp4Demuxer.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "engine/hls/AudioFrameHeader.h"
#include "engine/hls/Id3Titles.h"
#include "engine/hls/Mp4Box.h"

namespace orvel {
namespace {

constexpr uint32_t kBaseDataOffset = 0x01;
constexpr uint32_t kDefaultSampleBytes = 0x10;
constexpr uint32_t kTrunDataOffset = 0x01;
constexpr uint32_t kTrunFirstFlags = 0x04;
constexpr uint32_t kTrunSampleFields = 0xF00;
constexpr uint32_t kTrunSampleDuration = 0x100;
constexpr uint32_t kTrunSampleBytes = 0x200;

uint32_t boxFlags(const uint8_t* payload) {
  return static_cast<uint32_t>(Mp4Box::bigEndian(payload + 1, 3));
}

bool wanted(const Mp4Box& box) { return box.is("moof") || box.is("mdat") || box.is("emsg"); }

// Moves `at` past the zero-terminated string there; false when it does not end.
bool skipString(const uint8_t* data, size_t size, size_t& at) {
  const void* zero = at < size ? std::memchr(data + at, 0, size - at) : nullptr;
  if (zero == nullptr) return false;
  at = static_cast<size_t>(static_cast<const uint8_t*>(zero) - data) + 1;
  return true;
}

}  // namespace

bool Fmp4Demuxer::setInit(const uint8_t* data, size_t size) {
  m_ready = Mp4AudioTrack::read(data, size, m_track);
  return m_ready;
}

bool Fmp4Demuxer::feed(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
  if (!m_ready || m_failed) return false;
  const size_t skipped = static_cast<size_t>(std::min<uint64_t>(m_skip, size));
  m_skip -= skipped;
  m_heldAt += skipped;
  m_held.insert(m_held.end(), data + skipped, data + size);
  m_failed = !readBoxes(false, out);
  return !m_failed;
}

bool Fmp4Demuxer::endSegment(std::vector<uint8_t>& out) {
  const bool read = m_ready && !m_failed && readBoxes(true, out);
  m_held.clear();
  m_heldAt = 0;
  m_skip = 0;
  m_moofAt = 0;
  m_samples.clear();
  m_failed = false;
  return read;
}

std::string Fmp4Demuxer::formatName() const {
  if (!m_produced) return {};
  return m_track.mpegAudio ? "mp3" : "aac";
}

std::vector<SegmentDemuxer::Title> Fmp4Demuxer::takeTitles() {
  std::vector<Title> titles;
  titles.swap(m_titles);
  return titles;
}

// Reads the whole boxes held; a box we do not need is skipped as it arrives. At the segment's
// end, a box of size 0 takes the rest and a box cut short is dropped.
bool Fmp4Demuxer::readBoxes(bool atEnd, std::vector<uint8_t>& out) {
  size_t at = 0;
  bool read = true;
  while (read && at < m_held.size()) {
    Mp4Box box;
    const size_t left = m_held.size() - at;
    const Mp4Box::Read state = Mp4Box::read(m_held.data() + at, left, box);
    if (state == Mp4Box::Read::kBad) return false;
    if (state == Mp4Box::Read::kNeedMore || (box.toEnd && !atEnd)) {
      if (box.headerBytes == 0) break;
      if (!wanted(box) && !box.toEnd) {
        m_skip = box.boxBytes - left;
        at = m_held.size();
      } else if (box.toEnd ? left > kMaxBoxBytes : box.boxBytes > kMaxBoxBytes) {
        return false;
      }
      break;
    }
    read = readBox(m_held.data() + at, box, m_heldAt + at, out);
    at += static_cast<size_t>(box.boxBytes);
  }
  m_heldAt += at;
  m_held.erase(m_held.begin(), m_held.begin() + static_cast<std::ptrdiff_t>(at));
  return read;
}

bool Fmp4Demuxer::readBox(const uint8_t* data, const Mp4Box& box, uint64_t offset,
                          std::vector<uint8_t>& out) {
  const uint8_t* payload = data + box.headerBytes;
  const size_t size = static_cast<size_t>(box.boxBytes) - box.headerBytes;
  if (box.is("moof")) {
    m_moofAt = offset;
    return readMoof(payload, size);
  }
  if (box.is("mdat")) readMdat(payload, size, offset + box.headerBytes, out);
  if (box.is("emsg")) readEmsg(payload, size);
  return true;
}

bool Fmp4Demuxer::readMoof(const uint8_t* payload, size_t size) {
  m_samples.clear();
  const uint8_t* traf = nullptr;
  size_t trafBytes = 0;
  size_t at = 0;
  while (Mp4Box::find(payload, size, "traf", traf, trafBytes, at)) {
    if (!readTraf(traf, trafBytes)) return false;
  }
  return true;
}

bool Fmp4Demuxer::readTraf(const uint8_t* payload, size_t size) {
  const uint8_t* tfhd = nullptr;
  size_t tfhdBytes = 0;
  if (!Mp4Box::find(payload, size, "tfhd", tfhd, tfhdBytes) || tfhdBytes < 8) return false;
  if (Mp4Box::bigEndian(tfhd + 4, 4) != m_track.trackId) return true;
  const uint32_t flags = boxFlags(tfhd);
  size_t at = 8;
  uint64_t base = m_moofAt;
  uint32_t defaultBytes = m_track.defaultSampleBytes;
  // Optional fields, in order: base data offset (8 bytes), then description index, duration,
  // size and flags (4 each).
  const size_t needed = at + ((flags & kBaseDataOffset) ? 8 : 0) +
                        4 * static_cast<size_t>(std::popcount(flags & 0x3A));
  if (tfhdBytes < needed) return false;
  if (flags & kBaseDataOffset) {
    base = Mp4Box::bigEndian(tfhd + at, 8);
    at += 8;
  }
  at += 4 * static_cast<size_t>(std::popcount(flags & 0x0A));  // description index, duration
  if (flags & kDefaultSampleBytes)
    defaultBytes = static_cast<uint32_t>(Mp4Box::bigEndian(tfhd + at, 4));
  const uint8_t* trun = nullptr;
  size_t trunBytes = 0;
  uint64_t position = base;
  size_t trunAt = 0;
  while (Mp4Box::find(payload, size, "trun", trun, trunBytes, trunAt)) {
    if (!readTrun(trun, trunBytes, base, position, defaultBytes)) return false;
  }
  return true;
}

// One track run: its samples, from `position` on unless it gives its own offset from `base`.
bool Fmp4Demuxer::readTrun(const uint8_t* payload, size_t size, uint64_t base, uint64_t& position,
                           uint32_t defaultBytes) {
  if (size < 8) return false;
  const uint32_t flags = boxFlags(payload);
  const auto count = static_cast<uint32_t>(Mp4Box::bigEndian(payload + 4, 4));
  size_t at = 8;
  if (flags & kTrunDataOffset) {
    if (size < at + 4) return false;
    const auto offset = static_cast<int32_t>(Mp4Box::bigEndian(payload + at, 4));
    if (offset < 0 && uint64_t(-int64_t{offset}) > base) return false;
    position = base + static_cast<uint64_t>(int64_t{offset});
    at += 4;
  }
  if (flags & kTrunFirstFlags) at += 4;
  const size_t fieldBytes = 4 * static_cast<size_t>(std::popcount(flags & kTrunSampleFields));
  // The limit counts the whole fragment: runs without per-sample fields cost no bytes each.
  if (count > kMaxSamples - m_samples.size() || at > size || count * fieldBytes > size - at) {
    return false;
  }
  const size_t bytesAt = (flags & kTrunSampleDuration) ? 4 : 0;
  for (uint32_t i = 0; i < count; ++i, at += fieldBytes) {
    const uint32_t bytes = (flags & kTrunSampleBytes)
                               ? static_cast<uint32_t>(Mp4Box::bigEndian(payload + at + bytesAt, 4))
                               : defaultBytes;
    m_samples.push_back({position, bytes});
    position += bytes;
  }
  return true;
}

void Fmp4Demuxer::readMdat(const uint8_t* payload, size_t size, uint64_t start,
                           std::vector<uint8_t>& out) {
  const uint64_t end = start + size;
  std::vector<Sample> later;
  for (const Sample& sample : m_samples) {
    if (sample.position >= end) {
      later.push_back(sample);
      continue;
    }
    if (sample.position < start || sample.bytes == 0 || sample.bytes > end - sample.position) {
      continue;
    }
    const uint8_t* bytes = payload + (sample.position - start);
    if (!m_track.mpegAudio) {
      uint8_t header[AudioFrameHeader::kAdtsBytes];
      if (!AudioFrameHeader::writeAdts(m_track.objectType, m_track.rateIndex, m_track.channelConfig,
                                       sample.bytes, header)) {
        continue;
      }
      out.insert(out.end(), header, header + sizeof header);
      m_outBytes += sizeof header;
    }
    out.insert(out.end(), bytes, bytes + sample.bytes);
    m_outBytes += sample.bytes;
    m_produced = true;
  }
  m_samples.swap(later);
}

// An event message; one carrying an ID3 tag may name a title, placed where the audio stands now.
void Fmp4Demuxer::readEmsg(const uint8_t* payload, size_t size) {
  if (size < 4) return;
  size_t at = 4;
  if (payload[0] == 0) {
    if (!skipString(payload, size, at) || !skipString(payload, size, at)) return;
    at += 16;  // timescale, time delta, duration, id
  } else if (payload[0] == 1) {
    at += 20;  // timescale, 64-bit time, duration, id
    if (!skipString(payload, size, at) || !skipString(payload, size, at)) return;
  } else {
    return;
  }
  if (at + Id3Titles::kHeaderBytes > size) return;
  std::string text = Id3Titles::title(payload + at, size - at);
  if (!text.empty()) m_titles.push_back({m_outBytes, std::move(text)});
}

}  // namespace orvel
