#pragma once
// Formats whose stream is a plain run of frames that libavcodec's parser finds: ADTS AAC (no
// head, no tags) and native FLAC (the "fLaC" head with its metadata blocks: STREAMINFO gives
// the set-up bytes and the length, block 4 the tags).

#include <cstdint>
#include <vector>

#include "audio/plugin/av/AvStreamDecoder.h"

namespace orvel {

class AvParsedDecoder : public AvStreamDecoder {
 public:
  explicit AvParsedDecoder(AVCodecID codec);
  ~AvParsedDecoder() override;
  AvParsedDecoder(const AvParsedDecoder&) = delete;
  AvParsedDecoder& operator=(const AvParsedDecoder&) = delete;

  const char* codecName() const override;

 protected:
  bool readHead() override;
  bool nextPacket(const uint8_t*& data, int32_t& size) override;
  int64_t seekTo(int64_t offset, int64_t targetFrame) override;

 private:
  bool readFlacHead();
  // The length of an ADTS file from its frame headers: counted over its first MiB, and
  // extrapolated over the rest. Leaves the stream where it was.
  void measureAdts();
  bool readExactly(uint8_t* buffer, int32_t size);

  AVCodecParserContext* m_parser = nullptr;
  std::vector<uint8_t> m_buffer;  // read bytes, with libavcodec's zeroed padding after them
  int32_t m_offset = 0;           // the first byte not yet given to the parser
  int32_t m_filled = 0;
  bool m_streamEnded = false;
};

}  // namespace orvel
