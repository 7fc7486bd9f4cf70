#pragma once
// Removes the in-band metadata blocks that a server interleaves with the audio every metaint
// bytes, in one pass per chunk, and hands each block's StreamTitle to a callback. All counters
// persist from chunk to chunk, so a block or its length byte may straddle reads. Used by one
// reading thread at a time (the stream's reader); no allocation per chunk.

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

namespace orvel {

class MetadataSplitter {
 public:
  // 255 x 16 bytes is the largest block a length byte can announce.
  static constexpr size_t kMetadataBufferBytes = 4160;

  // Receives the raw bytes of a block's title (between "StreamTitle='" and the next "'").
  using TitleSink = std::function<void(std::string_view title)>;

  explicit MetadataSplitter(TitleSink onTitle);

  // Starts a stream: audio bytes between blocks (0 or less: nothing is removed).
  void reset(int32_t metaint);
  int32_t metaint() const { return m_metaint; }

  // Copies the audio bytes among `n` input bytes to `output` (which may be `input` itself:
  // audio only ever moves towards the front) and returns their number.
  uint32_t split(const uint8_t* input, uint32_t n, uint8_t* output);
  // While the title callback runs: the audio bytes the running split() had output before the
  // block, so the title can be placed in the audio.
  uint32_t audioBeforeBlock() const { return m_audioBeforeBlock; }

  // The title of a finished block, if it has one: the text after "StreamTitle='" up to the
  // first "'", looked for before the first null byte.
  static bool extractTitle(std::string_view block, std::string_view& title);

 private:
  void finishBlock();

  TitleSink m_onTitle;
  int32_t m_metaint = 0;
  uint32_t m_countdown = 0;       // audio bytes before the next length byte
  uint32_t m_metadataLeft = 0;    // bytes of the current block still to come
  uint32_t m_metadataLength = 0;  // bytes of the current block collected
  uint32_t m_audioBeforeBlock = 0;
  std::array<char, kMetadataBufferBytes> m_metadata{};
};

}  // namespace orvel
