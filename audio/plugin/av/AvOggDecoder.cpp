#include "audio/plugin/av/AvOggDecoder.h"

#include <algorithm>
#include <cstring>

#include "audio/plugin/av/VorbisCommentBlock.h"

namespace orvel {
namespace {

constexpr int32_t kReadSize = 8192;
constexpr int64_t kTailBytes = 65536;  // the last page of a file lies within this
constexpr int64_t kOpusRate = 48000;
constexpr long kFlacHeadSize = 13 + 4 + 34;  // mapping head, "fLaC", STREAMINFO block
constexpr uint8_t kFlacComments = 4;

bool startsWith(const ogg_packet& packet, const char* magic, size_t size) {
  return packet.bytes >= static_cast<long>(size) && std::memcmp(packet.packet, magic, size) == 0;
}

}  // namespace

AvOggDecoder::AvOggDecoder() { ogg_sync_init(&m_sync); }

AvOggDecoder::~AvOggDecoder() {
  ogg_sync_clear(&m_sync);
  if (m_oggOpen) ogg_stream_clear(&m_ogg);
}

const char* AvOggDecoder::codecName() const {
  if (m_codec == AV_CODEC_ID_VORBIS) return "VORBIS";
  return m_codec == AV_CODEC_ID_FLAC ? "FLAC" : "OPUS";
}

bool AvOggDecoder::nextPage(ogg_sync_state& sync, ogg_page& page) {
  for (;;) {
    if (ogg_sync_pageout(&sync, &page) == 1) return true;
    char* buffer = ogg_sync_buffer(&sync, kReadSize);
    const int32_t got = buffer == nullptr ? 0 : read(buffer, kReadSize);
    if (got <= 0) return false;
    ogg_sync_wrote(&sync, got);
  }
}

bool AvOggDecoder::readHeaderPacket(const ogg_packet& packet) {
  const uint8_t* bytes = packet.packet;
  if (packet.bytes >= 7 && std::memcmp(bytes + 1, "vorbis", 6) == 0 &&
      (m_codec == AV_CODEC_ID_NONE || m_codec == AV_CODEC_ID_VORBIS)) {
    return readVorbisHeader(packet);
  }
  if (startsWith(packet, "OpusHead", 8) && packet.bytes >= 19 &&
      (m_codec == AV_CODEC_ID_NONE || m_codec == AV_CODEC_ID_OPUS)) {
    if (m_codec == AV_CODEC_ID_NONE) m_extradata.assign(bytes, bytes + packet.bytes);
    m_codec = AV_CODEC_ID_OPUS;
    m_preSkip = bytes[10] | bytes[11] << 8;
    m_skipFrames += m_preSkip;
    m_headersLeft = 1;
  } else if (startsWith(packet, "OpusTags", 8) && m_codec == AV_CODEC_ID_OPUS) {
    m_comments = VorbisCommentBlock::parse(bytes + 8, static_cast<size_t>(packet.bytes - 8));
    m_headersLeft = 0;
  } else if (startsWith(packet,
                        "\x7F"
                        "FLAC",
                        5) &&
             packet.bytes >= kFlacHeadSize && std::memcmp(bytes + 9, "fLaC", 4) == 0 &&
             (m_codec == AV_CODEC_ID_NONE || m_codec == AV_CODEC_ID_FLAC)) {
    if (m_codec == AV_CODEC_ID_NONE) m_extradata.assign(bytes + 17, bytes + kFlacHeadSize);
    m_codec = AV_CODEC_ID_FLAC;
    // The count of metadata packets that follow; 0 means "unknown" and is taken as one.
    m_headersLeft = std::max(1, bytes[7] << 8 | bytes[8]);
  } else if (m_codec == AV_CODEC_ID_FLAC && packet.bytes >= 4 && bytes[0] != 0xFF) {
    if ((bytes[0] & 0x7F) == kFlacComments) {
      m_comments = VorbisCommentBlock::parse(bytes + 4, static_cast<size_t>(packet.bytes - 4));
    }
    m_headersLeft = (bytes[0] & 0x80) != 0 ? 0 : m_headersLeft - 1;
  } else {
    m_headersLeft = 0;
    return false;
  }
  return true;
}

bool AvOggDecoder::readVorbisHeader(const ogg_packet& packet) {
  const uint8_t* bytes = packet.packet;
  const auto size = static_cast<size_t>(packet.bytes);
  if (bytes[0] == 1 && size >= 30) {  // identification: the three header packets follow
    if (m_codec == AV_CODEC_ID_NONE) m_vorbisRate = bytes[12] | bytes[13] << 8 | bytes[14] << 16;
    m_codec = AV_CODEC_ID_VORBIS;
    m_vorbisHeaders.assign(1, std::vector<uint8_t>(bytes, bytes + size));
    m_headersLeft = 2;
  } else if (bytes[0] == 3 && m_vorbisHeaders.size() == 1) {
    m_comments = VorbisCommentBlock::parse(bytes + 7, size - 7);
    m_vorbisHeaders.emplace_back(bytes, bytes + size);
    m_headersLeft = 1;
  } else if (bytes[0] == 5 && m_vorbisHeaders.size() == 2) {
    m_vorbisHeaders.emplace_back(bytes, bytes + size);
    // libavcodec takes the three packets Xiph-laced: a count of 2, the first two sizes in
    // 255-steps, then the packets themselves. Later links keep the first link's set-up.
    if (m_extradata.empty()) {
      m_extradata.push_back(2);
      for (size_t i = 0; i < 2; ++i) {
        m_extradata.insert(m_extradata.end(), m_vorbisHeaders[i].size() / 255, 255);
        m_extradata.push_back(static_cast<uint8_t>(m_vorbisHeaders[i].size() % 255));
      }
      for (const auto& header : m_vorbisHeaders) {
        m_extradata.insert(m_extradata.end(), header.begin(), header.end());
      }
    }
    m_vorbisHeaders.clear();
    m_headersLeft = 0;
  } else {
    m_headersLeft = 0;
    return false;
  }
  return true;
}

bool AvOggDecoder::readHead() {
  ogg_page page;
  if (!nextPage(m_sync, page) || ogg_page_bos(&page) == 0) return false;
  ogg_stream_init(&m_ogg, ogg_page_serialno(&page));
  m_oggOpen = true;
  ogg_stream_pagein(&m_ogg, &page);
  m_headersLeft = 1;
  while (m_headersLeft > 0) {
    ogg_packet packet;
    const int got = ogg_stream_packetout(&m_ogg, &packet);
    if (got == 1 && !readHeaderPacket(packet)) return false;
    if (got != 0) continue;
    if (!nextPage(m_sync, page)) return false;
    ogg_stream_pagein(&m_ogg, &page);
  }
  const int64_t granule = lastGranule();
  if (granule >= m_preSkip) m_endFrame = granule - m_preSkip;
  if (m_codec == AV_CODEC_ID_OPUS && granule > m_preSkip) {
    m_durationMs = static_cast<uint32_t>((granule - m_preSkip) * 1000 / kOpusRate);
  } else if (m_codec == AV_CODEC_ID_VORBIS && granule > 0 && m_vorbisRate > 0) {
    m_durationMs = static_cast<uint32_t>(granule * 1000 / m_vorbisRate);
  } else if (m_codec == AV_CODEC_ID_FLAC && granule > 0) {
    const uint32_t rate =
        uint32_t{m_extradata[10]} << 12 | m_extradata[11] << 4 | m_extradata[12] >> 4;
    if (rate > 0) m_durationMs = static_cast<uint32_t>(granule * 1000 / rate);
  }
  return true;
}

int64_t AvOggDecoder::lastGranule() {
  const int64_t size = streamSize();
  const int64_t position = streamPosition();
  if (size <= 0 || !moveTo(std::max<int64_t>(0, size - kTailBytes))) return -1;
  ogg_sync_state tail;
  ogg_sync_init(&tail);
  ogg_page page;
  int64_t granule = -1;
  // A page of another stream means later links follow the first: the file's end is theirs,
  // and the first link's last granule is no end of the file.
  bool chained = false;
  while (nextPage(tail, page)) {
    chained = chained || ogg_page_serialno(&page) != m_ogg.serialno;
    if (ogg_page_serialno(&page) == m_ogg.serialno && ogg_page_granulepos(&page) >= 0) {
      granule = ogg_page_granulepos(&page);
    }
  }
  ogg_sync_clear(&tail);
  return moveTo(position) && !chained ? granule : -1;
}

bool AvOggDecoder::nextPacket(const uint8_t*& data, int32_t& size) {
  for (;;) {
    ogg_packet packet;
    const int got = ogg_stream_packetout(&m_ogg, &packet);
    if (got == 1 && m_headersLeft > 0) {
      readHeaderPacket(packet);
      m_linkStarting = m_chained && m_headersLeft == 0;
    } else if (got == 1 && packet.bytes > 0) {
      data = packet.packet;
      size = static_cast<int32_t>(packet.bytes);
      return true;
    } else if (got == 0) {
      ogg_page page;
      if (!nextPage(m_sync, page)) return false;
      if (ogg_page_bos(&page) != 0) {  // the next link of a chain: its own head follows
        m_chained = m_chained || ogg_page_serialno(&page) != m_ogg.serialno;
        ogg_stream_reset_serialno(&m_ogg, ogg_page_serialno(&page));
        m_headersLeft = 1;
      }
      ogg_stream_pagein(&m_ogg, &page);  // refuses pages of other logical streams
    }
  }
}

bool AvOggDecoder::positionedPageFrom(int64_t offset, int64_t& end, int64_t& frame) {
  if (!moveTo(offset)) return false;
  ogg_sync_state sync;
  ogg_sync_init(&sync);
  ogg_page page;
  bool found = false;
  while (!found && nextPage(sync, page)) {
    found = ogg_page_serialno(&page) == m_ogg.serialno && ogg_page_granulepos(&page) >= 0;
    end = streamPosition() - (sync.fill - sync.returned);
  }
  // The page lies in the sync state's buffer: read it before the buffer goes.
  if (found) frame = ogg_page_granulepos(&page) - (m_codec == AV_CODEC_ID_OPUS ? m_preSkip : 0);
  ogg_sync_clear(&sync);
  return found;
}

bool AvOggDecoder::restartAt(int64_t offset) {
  ogg_sync_reset(&m_sync);
  ogg_stream_reset(&m_ogg);
  m_headersLeft = 0;
  return moveTo(offset);
}

int64_t AvOggDecoder::seekTo(int64_t offset, int64_t targetFrame) {
  if (targetFrame < 0) targetFrame = frameAtByte(offset);
  // Halves the span until it is short, keeping `low` where a page at or before the target
  // follows; then walks its pages to the last that ends at or before the target. Decoding
  // resumes after that page and drops the frames up to the target, so the seek is exact.
  int64_t low = dataStart();
  int64_t high = streamSize();
  int64_t end = 0;
  int64_t frame = 0;
  while (high - low > kTailBytes) {
    const int64_t middle = low + (high - low) / 2;
    if (positionedPageFrom(middle, end, frame) && frame <= targetFrame) {
      low = middle;
    } else {
      high = middle;
    }
  }
  int64_t resumeAt = 0;  // 0: from the head of the stream, whose frames start at 0
  int64_t resumeFrame = 0;
  for (int64_t from = low; positionedPageFrom(from, end, frame) && frame <= targetFrame;
       from = end) {
    resumeAt = end;
    resumeFrame = std::max<int64_t>(0, frame);
  }
  if (!restartAt(resumeAt)) return -1;
  m_skipFrames = targetFrame - resumeFrame;
  return targetFrame;
}

}  // namespace orvel
