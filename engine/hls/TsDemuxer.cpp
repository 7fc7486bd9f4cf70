#include "engine/hls/TsDemuxer.h"

#include <algorithm>

#include "engine/hls/Id3Titles.h"

namespace orvel {
namespace {

constexpr uint8_t kSync = 0x47;
constexpr uint16_t kPatPid = 0;
constexpr size_t kMaxAudioStarts = 256;
constexpr uint64_t kPtsMask = (uint64_t{1} << 33) - 1;

// Whether 33-bit time `a` is not earlier than `b`, across the wrap.
bool notEarlier(uint64_t a, uint64_t b) { return ((a - b) & kPtsMask) < (uint64_t{1} << 32); }

}  // namespace

bool TsDemuxer::setInit(const uint8_t*, size_t) { return true; }

// The offset of the next packet start at or after `at`: a sync byte with another one a packet
// further on, or a sync byte whose packet's end has not come yet.
size_t TsDemuxer::nextPacket(const uint8_t* data, size_t size, size_t at) const {
  for (; at < size; ++at) {
    if (data[at] != kSync) continue;
    if (at + kPacketBytes >= size || data[at + kPacketBytes] == kSync) return at;
  }
  return size;
}

bool TsDemuxer::feed(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
  m_held.insert(m_held.end(), data, data + size);
  size_t at = 0;
  while (at < m_held.size()) {
    if (m_searching || m_held[at] != kSync) {
      // Out of step: a packet counts once the byte after it is a sync byte too, so the result
      // does not depend on how the bytes were split. A lost packet among the skipped bytes
      // shows in the continuity counter.
      m_searching = true;
      at = nextPacket(m_held.data(), m_held.size(), at);
      if (at + kPacketBytes >= m_held.size()) break;
      m_searching = false;
    }
    if (m_held.size() - at < kPacketBytes) break;
    readPacket(m_held.data() + at, out);
    at += kPacketBytes;
  }
  at = std::min(at, m_held.size());
  m_held.erase(m_held.begin(), m_held.begin() + static_cast<std::ptrdiff_t>(at));
  return true;
}

bool TsDemuxer::endSegment(std::vector<uint8_t>& out) {
  m_held.clear();
  m_searching = false;
  finishId3();
  m_frames.endSegment(out);
  for (PendingTitle& title : m_pendingTitles) {
    m_frames.addTitle(m_frames.produced(), std::move(title.text));
  }
  m_pendingTitles.clear();
  m_audioStarts.clear();
  m_audio.reset();
  m_audioCounter = -1;
  return true;
}

void TsDemuxer::readPacket(const uint8_t* packet, std::vector<uint8_t>& out) {
  const bool error = (packet[1] & 0x80) != 0;
  const bool start = (packet[1] & 0x40) != 0;
  const uint16_t pid = static_cast<uint16_t>((packet[1] & 0x1F) << 8 | packet[2]);
  const uint8_t control = packet[3] >> 4 & 3;
  if (error || (control & 1) == 0) return;  // damaged, or no payload
  size_t payloadAt = 4;
  if (control == 3) payloadAt += 1 + size_t{packet[4]};
  if (payloadAt >= kPacketBytes) return;
  const uint8_t* payload = packet + payloadAt;
  const size_t payloadBytes = kPacketBytes - payloadAt;
  if (pid == m_streams.audioPid) {
    if (!continuous(packet[3] & 0x0F)) return;
    readAudio(payload, payloadBytes, start, out);
  } else if (pid == m_streams.id3Pid) {
    readId3(payload, payloadBytes, start);
  } else if (pid == kPatPid && start) {
    m_pmtPid = TsProgramTables::readPat(payload, payloadBytes);
  } else if (pid == m_pmtPid && start) {
    TsProgramTables::Streams streams;
    if (!TsProgramTables::readPmt(payload, payloadBytes, streams)) return;
    if (streams.audioPid != m_streams.audioPid) {
      m_audio.reset();
      m_audioCounter = -1;
    }
    m_streams = streams;
  }
}

// False for a repeated packet, which is skipped; a gap loses what was held of a frame.
bool TsDemuxer::continuous(uint8_t counter) {
  const int last = m_audioCounter;
  m_audioCounter = counter;
  if (last < 0) return true;
  if (counter == last) return false;
  // The PES packet goes on after the gap; only the frame that the gap cut is lost.
  if (counter != ((last + 1) & 0x0F)) m_frames.discontinuity();
  return true;
}

void TsDemuxer::readAudio(const uint8_t* payload, size_t size, bool start,
                          std::vector<uint8_t>& out) {
  const uint8_t* data = nullptr;
  size_t bytes = 0;
  const bool hadHeader = m_audio.active() && !start;
  m_audio.take(payload, size, start, data, bytes);
  // A header just completed: its time places the titles waiting for it.
  if (!hadHeader && m_audio.active() && m_audio.hasPts()) {
    placeTitles({m_audio.pts(), m_frames.nextOffset()});
  }
  if (bytes > 0) m_frames.push(data, bytes, out);
}

void TsDemuxer::placeTitles(const AudioStart& start) {
  m_audioStarts.push_back(start);
  if (m_audioStarts.size() > kMaxAudioStarts) m_audioStarts.pop_front();
  size_t placed = 0;
  while (placed < m_pendingTitles.size() && notEarlier(start.pts, m_pendingTitles[placed].pts)) {
    m_frames.addTitle(start.offset, std::move(m_pendingTitles[placed].text));
    ++placed;
  }
  m_pendingTitles.erase(m_pendingTitles.begin(),
                        m_pendingTitles.begin() + static_cast<std::ptrdiff_t>(placed));
}

void TsDemuxer::readId3(const uint8_t* payload, size_t size, bool start) {
  if (start) finishId3();
  const uint8_t* data = nullptr;
  size_t bytes = 0;
  m_id3.take(payload, size, start, data, bytes);
  if (m_id3Bytes.size() + bytes > kMaxId3Bytes) {
    m_id3.reset();
    m_id3Bytes.clear();
    return;
  }
  m_id3Bytes.insert(m_id3Bytes.end(), data, data + bytes);
  if (m_id3.complete()) finishId3();
}

void TsDemuxer::finishId3() {
  const bool timed = m_id3.hasPts();
  const uint64_t pts = m_id3.pts();
  std::string text;
  if (m_id3.active() && m_id3Bytes.size() >= Id3Titles::kHeaderBytes) {
    text = Id3Titles::title(m_id3Bytes.data(), m_id3Bytes.size());
  }
  m_id3.reset();
  m_id3Bytes.clear();
  if (text.empty()) return;
  if (!timed) {
    m_frames.addTitle(m_frames.nextOffset(), std::move(text));
    return;
  }
  // The audio of its time may have come already (the muxer wrote the tag late) or not yet.
  if (m_pendingTitles.empty()) {
    for (const AudioStart& start : m_audioStarts) {
      if (notEarlier(start.pts, pts)) {
        m_frames.addTitle(start.offset, std::move(text));
        return;
      }
    }
  }
  m_pendingTitles.push_back({pts, std::move(text)});
}

}  // namespace orvel
