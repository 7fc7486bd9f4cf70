#pragma once
// Ogg Opus and Ogg FLAC: pages and packets through libogg (which the program already loads for
// Ogg Vorbis), each audio packet one frame for libavcodec. Which of the two a stream holds is
// read from its first packet, so a .oga file plays either. A chained stream (a new logical
// stream at each song change) plays on; the new link's tags replace the old ones.

#include <ogg/ogg.h>

#include <cstdint>

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
  // The granule of a file's last page (its end), or -1 when it is not known: no size, or a
  // chained file whose last link is not the first.
  int64_t lastGranule();

  ogg_sync_state m_sync{};
  ogg_stream_state m_ogg{};
  bool m_oggOpen = false;
  int m_headersLeft = 0;   // header packets of the current link still to come
  bool m_chained = false;  // a link after the first has begun
  int64_t m_preSkip = 0;   // Opus: frames the encoder put before the sound
};

}  // namespace orvel
