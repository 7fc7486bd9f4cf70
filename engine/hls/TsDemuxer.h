#pragma once
// MPEG transport stream segments: 188-byte packets; the PAT leads to the PMT, the PMT to the
// first audio stream (ADTS AAC or MPEG audio) and to a timed ID3 stream if there is one. The
// audio PES payloads, cut into whole frames, are the output; an ID3 PES gives a title placed at
// the first audio PES whose presentation time is not earlier than its own. Packets with a lost
// sync byte are found again by their 0x47 bytes 188 apart; a gap in the audio's continuity
// counter drops the frame it cut.
//
// Used by one thread at a time (the stream's reader thread); no lock.

#include <deque>

#include "engine/hls/FrameSplitter.h"
#include "engine/hls/PesPacket.h"
#include "engine/hls/SegmentDemuxer.h"
#include "engine/hls/TsProgramTables.h"

namespace orvel {

class TsDemuxer : public SegmentDemuxer {
 public:
  static constexpr size_t kPacketBytes = 188;
  // An ID3 PES longer than this is dropped rather than held.
  static constexpr size_t kMaxId3Bytes = size_t{1} << 20;

  bool setInit(const uint8_t* data, size_t size) override;
  bool feed(const uint8_t* data, size_t size, std::vector<uint8_t>& out) override;
  bool endSegment(std::vector<uint8_t>& out) override;
  std::string formatName() const override { return m_frames.formatName(); }
  std::vector<Title> takeTitles() override { return m_frames.takeTitles(); }

 private:
  struct AudioStart {
    uint64_t pts = 0;
    uint64_t offset = 0;
  };
  struct PendingTitle {
    uint64_t pts = 0;
    std::string text;
  };

  size_t nextPacket(const uint8_t* data, size_t size, size_t at) const;
  void readPacket(const uint8_t* packet, std::vector<uint8_t>& out);
  bool continuous(uint8_t counter);
  void readAudio(const uint8_t* payload, size_t size, bool start, std::vector<uint8_t>& out);
  void readId3(const uint8_t* payload, size_t size, bool start);
  void finishId3();
  void placeTitles(const AudioStart& start);

  std::vector<uint8_t> m_held;  // the start of a packet cut by the end of a feed
  bool m_searching = false;     // the sync was lost and is being looked for
  uint16_t m_pmtPid = TsProgramTables::kNoPid;
  TsProgramTables::Streams m_streams;
  int m_audioCounter = -1;  // the last continuity counter of the audio PID; -1: none yet
  PesPacket m_audio;
  PesPacket m_id3;
  std::vector<uint8_t> m_id3Bytes;            // the ID3 PES payload so far
  std::deque<AudioStart> m_audioStarts;       // the segment's recent audio PES packets
  std::vector<PendingTitle> m_pendingTitles;  // waiting for audio of their time
  FrameSplitter m_frames;
};

}  // namespace orvel
