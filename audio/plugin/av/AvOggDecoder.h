#pragma once
// Ogg Opus, Ogg FLAC and (for .oga files) Ogg Vorbis: pages and packets through libogg (which
// the program already loads for Ogg Vorbis), each audio packet one frame for libavcodec. Which
// codec a stream holds is read from its first packet, so a .oga file plays any of them; network
// streams of Vorbis keep the built-in decoder. A chained stream (a new logical
// stream at each song change) plays on; the new link's tags replace the old ones.

#include <ogg/ogg.h>

#include <cstdint>
#include <vector>

#include "audio/plugin/av/AvStreamDecoder.h"

namespace orvel {

class AvOggDecoder : public AvStreamDecoder {
 public:
  AvOggDecoder();
  ~AvOggDecoder() override;
  AvOggDecoder(const AvOggDecoder&) = delete;
  AvOggDecoder& operator=(const AvOggDecoder&) = delete;

  const char* codecName() const override;

 protected:
  bool readHead() override;
  bool nextPacket(const uint8_t*& data, int32_t& size) override;
  int64_t seekTo(int64_t offset, int64_t targetFrame) override;

 private:
  bool nextPage(ogg_sync_state& sync, ogg_page& page);
  // From `offset`, the first page of this stream with a position: where it ends (bytes) and
  // the frame it ends at; false when none follows.
  bool positionedPageFrom(int64_t offset, int64_t& end, int64_t& frame);
  // Forgets pages and packets read, and makes the stream read on from `offset`.
  bool restartAt(int64_t offset);
  // A packet before the audio of a link; false when it is not one this decoder knows.
  bool readHeaderPacket(const ogg_packet& packet);
  // The Vorbis identification, comment and set-up packets, gathered into m_extradata.
  bool readVorbisHeader(const ogg_packet& packet);
  // The granule of a file's last page (its end), or -1 when it is not known: no size, or a
  // chained file whose last link is not the first.
  int64_t lastGranule();

  ogg_sync_state m_sync{};
  ogg_stream_state m_ogg{};
  bool m_oggOpen = false;
  int m_headersLeft = 0;     // header packets of the current link still to come
  bool m_chained = false;    // a link after the first has begun
  int64_t m_preSkip = 0;     // Opus: frames the encoder put before the sound
  int64_t m_vorbisRate = 0;  // Vorbis: the first link's sample rate
  std::vector<std::vector<uint8_t>> m_vorbisHeaders;  // Vorbis: this link's headers so far
};

}  // namespace orvel
