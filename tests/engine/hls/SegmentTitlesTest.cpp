// Titles from the ID3 tags that travel with HLS audio: between packed frames, in a timed ID3
// stream of a transport stream, in fMP4 event messages. The audio around them must come out
// unchanged, and each title at the byte where the audio of its time begins.
#include <gtest/gtest.h>

#include <map>
#include <numeric>
#include <string>

#include "SegmentFeeding.h"

namespace orvel {
namespace {

using test::Bytes;

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

void putBigEndian(Bytes& out, uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void putSyncsafe(Bytes& out, uint32_t value) {
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (7 * i) & 0x7F));
}

// An ID3v2 frame: version 3 writes plain sizes, version 4 syncsafe ones.
Bytes id3Frame(int version, const char* id, const Bytes& body) {
  Bytes frame = bytesOf(std::string(id, 4));
  if (version == 4) {
    putSyncsafe(frame, static_cast<uint32_t>(body.size()));
  } else {
    putBigEndian(frame, body.size(), 4);
  }
  frame.insert(frame.end(), {0, 0});
  frame.insert(frame.end(), body.begin(), body.end());
  return frame;
}

Bytes id3Tag(int version, const std::vector<Bytes>& frames) {
  Bytes body;
  for (const Bytes& frame : frames) body.insert(body.end(), frame.begin(), frame.end());
  Bytes tag = {'I', 'D', '3', static_cast<uint8_t>(version), 0, 0};
  putSyncsafe(tag, static_cast<uint32_t>(body.size()));
  tag.insert(tag.end(), body.begin(), body.end());
  return tag;
}

// A text frame body: encoding byte, then the text.
Bytes text(uint8_t encoding, const std::string& value) {
  Bytes body = {encoding};
  body.insert(body.end(), value.begin(), value.end());
  return body;
}

Bytes joined(const std::string& first, const std::string& second) {
  Bytes body = bytesOf(first);
  body.push_back(0);
  body.insert(body.end(), second.begin(), second.end());
  return body;
}

std::vector<Bytes> sourceFrames() {
  std::vector<Bytes> frames;
  EXPECT_TRUE(test::splitFrames(test::loadFixture("src.aac"), frames));
  return frames;
}

// The elementary bytes before frame `index`.
uint64_t offsetOfFrame(const std::vector<Bytes>& frames, size_t index) {
  return std::accumulate(frames.begin(), frames.begin() + static_cast<std::ptrdiff_t>(index),
                         uint64_t{0}, [](uint64_t sum, const Bytes& f) { return sum + f.size(); });
}

TEST(SegmentTitlesTest, TagsBetweenPackedFramesGiveTitlesAndLeaveTheAudio) {
  const std::vector<Bytes> frames = sourceFrames();
  ASSERT_GT(frames.size(), 60u);
  Bytes damaged = id3Tag(3, {id3Frame(3, "TIT2", text(0, "Lost"))});
  damaged[17] = 0x7F;  // the frame's size: more than the tag holds
  const struct {
    size_t beforeFrame;
    Bytes tag;
    const char* title;  // "" when the tag names none
  } tags[] = {
      {0,
       id3Tag(4, {id3Frame(4, "PRIV",
                           joined("com.apple.streaming.transportStreamTimestamp",
                                  std::string("\0\0\0\0\0\1\2\3", 8)))}),
       ""},
      {10, id3Tag(3, {id3Frame(3, "TIT2", text(0, "Caf\xE9"))}), "Café"},
      {20,
       id3Tag(3, {id3Frame(3, "TXXX", text(0, std::string("\0StreamTitle='Band - Song';", 27)))}),
       "Band - Song"},
      {30, id3Tag(4, {id3Frame(4, "PRIV", joined("com.example", "StreamTitle='Other - Tune';"))}),
       "Other - Tune"},
      {40,
       id3Tag(4, {id3Frame(4, "TXXX", text(3, std::string("\0StreamTitle='No';", 17))),
                  id3Frame(4, "TIT2", text(3, "Ünder")), id3Frame(4, "TPE1", text(3, "Þrír"))}),
       "Þrír - Ünder"},
      {50, damaged, ""},
  };
  Bytes segment;
  std::vector<SegmentDemuxer::Title> expected;
  size_t next = 0;
  for (size_t i = 0; i < frames.size(); ++i) {
    for (; next < std::size(tags) && tags[next].beforeFrame == i; ++next) {
      segment.insert(segment.end(), tags[next].tag.begin(), tags[next].tag.end());
      if (*tags[next].title != 0) expected.push_back({offsetOfFrame(frames, i), tags[next].title});
    }
    segment.insert(segment.end(), frames[i].begin(), frames[i].end());
  }
  ASSERT_EQ(SegmentDemuxer::detect(segment.data(), segment.size()),
            SegmentDemuxer::Container::kPackedAudio);
  for (unsigned seed : {0u, 1u, 2u}) {
    SCOPED_TRACE(seed);
    auto demuxer = SegmentDemuxer::create(SegmentDemuxer::Container::kPackedAudio);
    const test::Demuxed out = test::feedSegments(*demuxer, {segment}, seed);
    EXPECT_TRUE(out.bytes == test::loadFixture("src.aac"));
    ASSERT_EQ(out.titles.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(out.titles[i].text, expected[i].text);
      EXPECT_EQ(out.titles[i].offset, expected[i].offset) << expected[i].text;
    }
  }
}

// A small transport stream writer: PAT, PMT with an ADTS stream and a timed ID3 stream, and PES
// packets cut into 188-byte packets.
class TsWriter {
 public:
  static constexpr uint16_t kAudioPid = 0x100;
  static constexpr uint16_t kId3Pid = 0x102;

  TsWriter() {
    writeSection(0, {0x00, 0x00, 0x01, 0xC1, 0x00, 0x00, 0x00, 0x01, 0xF0, 0x00});
    writeSection(kPmtPid, {0x02, 0x00, 0x01, 0xC1, 0x00, 0x00, 0xE1, 0x00, 0xF0, 0x00,
                           0x0F, 0xE1, 0x00, 0xF0, 0x00, 0x15, 0xE1, 0x02, 0xF0, 0x00});
  }
  void writePes(uint16_t pid, uint8_t streamId, uint64_t pts, const Bytes& payload) {
    Bytes pes = {0, 0, 1, streamId};
    const size_t length = payload.size() + 8;
    putBigEndian(pes, length > 0xFFFF ? 0 : length, 2);
    pes.insert(pes.end(), {0x80, 0x80, 0x05});
    pes.push_back(static_cast<uint8_t>(0x21 | (pts >> 29 & 0x0E)));
    pes.push_back(static_cast<uint8_t>(pts >> 22));
    pes.push_back(static_cast<uint8_t>((pts >> 14 & 0xFE) | 1));
    pes.push_back(static_cast<uint8_t>(pts >> 7));
    pes.push_back(static_cast<uint8_t>((pts << 1 & 0xFE) | 1));
    pes.insert(pes.end(), payload.begin(), payload.end());
    writePayload(pid, pes);
  }
  const Bytes& bytes() const { return m_bytes; }

 private:
  static constexpr uint16_t kPmtPid = 0x1000;

  static uint32_t crc32(const Bytes& data) {
    uint32_t crc = 0xFFFFFFFF;
    for (uint8_t byte : data) {
      crc ^= uint32_t{byte} << 24;
      for (int bit = 0; bit < 8; ++bit) crc = crc & 0x80000000 ? crc << 1 ^ 0x04C11DB7 : crc << 1;
    }
    return crc;
  }
  void writeSection(uint16_t pid, Bytes section) {
    section.insert(section.begin() + 1, {0xB0, static_cast<uint8_t>(section.size() + 3)});
    putBigEndian(section, crc32(section), 4);
    section.insert(section.begin(), 0);  // pointer field
    writePayload(pid, section);
  }
  // Packets of `pid` carrying `data`, the last one filled up by its adaptation field.
  void writePayload(uint16_t pid, const Bytes& data) {
    for (size_t at = 0; at < data.size();) {
      const size_t piece = std::min<size_t>(184, data.size() - at);
      uint8_t& counter = m_counters[pid];
      m_bytes.insert(m_bytes.end(), {0x47, static_cast<uint8_t>((at == 0 ? 0x40 : 0) | pid >> 8),
                                     static_cast<uint8_t>(pid),
                                     static_cast<uint8_t>((piece < 184 ? 0x30 : 0x10) | counter)});
      counter = (counter + 1) & 0x0F;
      if (piece < 184) {
        const size_t fill = 184 - piece;
        m_bytes.push_back(static_cast<uint8_t>(fill - 1));
        if (fill > 1) m_bytes.push_back(0);
        m_bytes.insert(m_bytes.end(), fill > 2 ? fill - 2 : 0, 0xFF);
      }
      m_bytes.insert(m_bytes.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                     data.begin() + static_cast<std::ptrdiff_t>(at + piece));
      at += piece;
    }
  }

  Bytes m_bytes;
  std::map<uint16_t, uint8_t> m_counters;
};

// Timed ID3 in a transport stream: each title belongs to the first audio at or after its time,
// whether the muxer wrote the tag before that audio or after it, and across the 33-bit wrap.
TEST(SegmentTitlesTest, TimedId3TitlesLandWhereTheAudioOfTheirTimeBegins) {
  const std::vector<Bytes> frames = sourceFrames();
  constexpr size_t kFramesPerPes = 5;
  constexpr uint64_t kStartPts = (uint64_t{1} << 33) - 90000;  // wraps after one second
  const auto ptsOf = [](size_t pes) {
    return (kStartPts + pes * kFramesPerPes * 1024 * 90000 / 44100) & ((uint64_t{1} << 33) - 1);
  };
  const struct {
    size_t writtenBefore;  // the audio PES the tag is written before
    size_t belongsTo;      // the audio PES whose time it has
    const char* title;
  } tags[] = {{0, 0, "At Once"}, {3, 6, "Early"}, {12, 10, "Late"}, {30, 29, "Wrapped"}};
  TsWriter writer;
  std::vector<SegmentDemuxer::Title> expected;
  size_t next = 0;
  for (size_t pes = 0; pes * kFramesPerPes < frames.size(); ++pes) {
    for (; next < std::size(tags) && tags[next].writtenBefore == pes; ++next) {
      // A little before the audio's own time: the next audio is the one it belongs to.
      const uint64_t pts = (ptsOf(tags[next].belongsTo) - 30) & ((uint64_t{1} << 33) - 1);
      writer.writePes(TsWriter::kId3Pid, 0xBD, pts,
                      id3Tag(4, {id3Frame(4, "TIT2", text(3, tags[next].title))}));
      expected.push_back(
          {offsetOfFrame(frames, tags[next].belongsTo * kFramesPerPes), tags[next].title});
    }
    Bytes payload;
    for (size_t f = pes * kFramesPerPes; f < std::min(frames.size(), (pes + 1) * kFramesPerPes);
         ++f) {
      payload.insert(payload.end(), frames[f].begin(), frames[f].end());
    }
    writer.writePes(TsWriter::kAudioPid, 0xC0, ptsOf(pes), payload);
  }
  ASSERT_EQ(next, std::size(tags));
  ASSERT_EQ(SegmentDemuxer::detect(writer.bytes().data(), writer.bytes().size()),
            SegmentDemuxer::Container::kMpegTs);
  for (unsigned seed : {1u, 2u}) {
    SCOPED_TRACE(seed);
    auto demuxer = SegmentDemuxer::create(SegmentDemuxer::Container::kMpegTs);
    const test::Demuxed out = test::feedSegments(*demuxer, {writer.bytes()}, seed);
    EXPECT_TRUE(out.bytes == test::loadFixture("src.aac"));
    ASSERT_EQ(out.titles.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(out.titles[i].text, expected[i].text);
      EXPECT_EQ(out.titles[i].offset, expected[i].offset) << expected[i].text;
    }
  }
}

// An ID3 event message before a fragment: its title where that fragment's audio begins.
TEST(SegmentTitlesTest, Fmp4EventMessagesGiveTitles) {
  std::vector<Bytes> segments = test::loadSegments("fmp4.m3u8");
  ASSERT_GT(segments.size(), 2u);
  const Bytes tag = id3Tag(4, {id3Frame(4, "TIT2", text(3, "Event"))});
  Bytes version0 = {0, 0, 0, 0};
  const Bytes scheme = bytesOf(std::string("https://aomedia.org/emsg/ID3\0\0", 30));
  version0.insert(version0.end(), scheme.begin(), scheme.end());
  putBigEndian(version0, 0, 16);  // timescale, time delta, duration, id
  Bytes version1 = {1, 0, 0, 0};
  putBigEndian(version1, 0, 20);  // timescale, 64-bit time, duration, id
  version1.insert(version1.end(), scheme.begin(), scheme.end());
  for (Bytes* message : {&version0, &version1}) {
    message->insert(message->end(), tag.begin(), tag.end());
    Bytes box;
    putBigEndian(box, message->size() + 8, 4);
    box.insert(box.end(), {'e', 'm', 's', 'g'});
    box.insert(box.end(), message->begin(), message->end());
    *message = box;
  }
  segments[1].insert(segments[1].begin(), version0.begin(), version0.end());
  segments[2].insert(segments[2].begin(), version1.begin(), version1.end());
  auto demuxer = SegmentDemuxer::create(SegmentDemuxer::Container::kFragmentedMp4);
  const Bytes init = test::loadFixture("fmp4-init.mp4");
  ASSERT_TRUE(demuxer->setInit(init.data(), init.size()));
  const test::Demuxed out = test::feedSegments(*demuxer, segments, 5);
  EXPECT_TRUE(out.bytes == test::loadFixture("src.aac"));
  ASSERT_EQ(out.titles.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(out.titles[i].text, "Event");
    EXPECT_EQ(out.titles[i].offset, out.segmentStarts[i + 1]);
  }
}

}  // namespace
}  // namespace orvel
