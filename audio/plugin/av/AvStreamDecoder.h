#pragma once
// What the decoders of this library share: the stream, the libavcodec decoder, the position in
// samples, seeking, and the tags. A subclass reads its container: its head (codec and set-up
// bytes, tags, length) and then one compressed packet at a time.
//
// Used by one thread at a time (the player opens it on one thread and decodes on another).

#include <cstdint>
#include <string>
#include <vector>

#include "audio/plugin/OvAudioPlugin.h"
#include "audio/plugin/av/AvFrameDecoder.h"

namespace orvel {

class AvStreamDecoder {
 public:
  virtual ~AvStreamDecoder() = default;

  int32_t open(const OvStream* stream, OvPcmFormat* format);
  int32_t decode(int16_t* pcm, int32_t maxFrames);
  int32_t positionMs() const;
  int32_t seek(int32_t value, bool byTime);
  int32_t bitrateKbps() const;
  const char* comment(int32_t index, int32_t* length) const;
  virtual const char* codecName() const = 0;
  // 1 once after a decode that began a new link, with the frames it gave before it.
  int32_t newPart(int32_t* frames);

 protected:
  // Reads the container's head and sets m_codec, m_extradata and, where the head gives them,
  // m_comments and m_durationMs; false when the stream is not of this format.
  virtual bool readHead() = 0;
  // The next compressed packet, valid until the next call; false at the end of the stream.
  virtual bool nextPacket(const uint8_t*& data, int32_t& size) = 0;
  // Moves to `offset` (at or after the first packet), or nearer to `targetFrame` when the
  // container can find it (-1: none), and drops the container's state. Returns the frame
  // position of the next frame given (after m_skipFrames), or -1 when the stream cannot move.
  virtual int64_t seekTo(int64_t offset, int64_t targetFrame) = 0;

  // The frame at byte `offset`, from the length when known, else from the bitrate so far.
  int64_t frameAtByte(int64_t offset) const;
  int64_t dataStart() const { return m_dataStart; }

  int32_t read(void* buffer, int32_t size) {
    return m_stream->read(m_stream->context, buffer, size);
  }
  int64_t streamPosition() const { return m_stream->position(m_stream->context); }
  int64_t streamSize() const { return m_stream->size(m_stream->context); }
  bool moveTo(int64_t offset) { return m_stream->seek(m_stream->context, offset, 0) == offset; }
  AVCodecContext* codecContext() const { return m_frames.context(); }

  AVCodecID m_codec = AV_CODEC_ID_NONE;
  std::vector<uint8_t> m_extradata;
  std::vector<std::string> m_comments;
  uint32_t m_durationMs = 0;
  int64_t m_skipFrames = 0;     // frames to drop before the first one given (encoder delay)
  int64_t m_endFrame = -1;      // where the sound ends when the container says so (padding after)
  bool m_linkStarting = false;  // set by nextPacket: the packet given begins a new link

 private:
  bool decodeNextPacket();
  // The length in ms: the container's, else what the bitrate so far gives.
  int64_t totalMs() const;

  const OvStream* m_stream = nullptr;
  AvFrameDecoder m_frames;
  int64_t m_dataStart = 0;  // byte offset where the packets begin
  int64_t m_framesOut = 0;  // frames given since the start (or the seek target)
  bool m_ended = false;
  bool m_partBegan = false;  // a decode began a new link, m_partOffset frames into its output
  int32_t m_partOffset = 0;
};

}  // namespace orvel
