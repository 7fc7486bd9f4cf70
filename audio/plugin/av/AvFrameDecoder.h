#pragma once
// One libavcodec audio decoder: takes compressed packets and queues what they decode to as
// 16-bit interleaved PCM (float samples rounded and clipped, wider integers rounded to 16 bits).
// A packet the decoder rejects is dropped, so a damaged frame costs only its own sound.
//
// Used by one thread at a time, as its owning stream decoder is.

#include <cstdint>
#include <vector>

#include "audio/plugin/av/AvCodecLibrary.h"

namespace orvel {

class AvFrameDecoder {
 public:
  AvFrameDecoder() = default;
  ~AvFrameDecoder();
  AvFrameDecoder(const AvFrameDecoder&) = delete;
  AvFrameDecoder& operator=(const AvFrameDecoder&) = delete;

  // Opens the decoder for `codec` with the codec's set-up bytes (may be empty).
  bool open(const AvCodecLibrary& av, AVCodecID codec, const std::vector<uint8_t>& extradata);
  AVCodecContext* context() const { return m_context; }
  // Decodes one packet (null data: drain the decoder at the end of the stream).
  void decode(const uint8_t* data, int32_t size);
  // Forgets queued sound and the decoder's state, after a seek.
  void flush();

  // The first decoded frame fixes the output: rate and channels (1 or 2; more are mixed down
  // to two: each side with its own channels, the centre and the channels above or behind on
  // both at -3 dB, the low-frequency channel left out, scaled so nothing clips). 0 until then.
  uint32_t rate() const { return m_rate; }
  uint16_t channels() const { return m_channels; }
  // Moves up to maxFrames queued frames to `pcm`; returns how many.
  int32_t take(int16_t* pcm, int32_t maxFrames);
  size_t queuedFrames() const {
    return m_channels == 0 ? 0 : (m_queue.size() - m_read) / m_channels;
  }

  // What one channel of the frame gives to the left and right output.
  struct Share {
    float left = 0;
    float right = 0;
  };

 private:
  void receive();
  void append(const AVFrame& frame);
  void downmix(const AVFrame& frame);
  void setShares(const AVChannelLayout& layout);

  const AvCodecLibrary* m_av = nullptr;
  AVCodecContext* m_context = nullptr;
  AVPacket* m_packet = nullptr;
  AVFrame* m_frame = nullptr;
  uint32_t m_rate = 0;
  uint16_t m_channels = 0;
  std::vector<int16_t> m_queue;  // interleaved samples; m_read of them already taken
  // The shares of the layout last mixed down, and which layout that was.
  std::vector<Share> m_shares;
  uint64_t m_sharesMask = 0;
  AVChannelOrder m_sharesOrder = AV_CHANNEL_ORDER_UNSPEC;
  size_t m_read = 0;
};

}  // namespace orvel
