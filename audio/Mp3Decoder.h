#pragma once
// The decoder for MPEG audio layers I to III. It finds and checks frame headers itself, looks
// at the first frames at Open, hands compressed bytes from the stream's chunks to the MP3
// primitives library and cuts the decoded PCM into the blocks it is asked for, keeping the
// rest of a frame for the next call. Output is 16-bit PCM at the stream's own rate and
// channel count.
//
// Threads as for every AudioDecoder: Open on the player's thread, Decode and rewinds on the
// wave output's thread under the Player's lock, tags on the UI thread (never during a Decode).

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/AudioDecoder.h"
#include "audio/ByteReader.h"
#include "audio/FilterChain.h"
#include "audio/Mp3Primitives.h"
#include "audio/Mp3PrimitivesLibrary.h"

namespace orvel {

class Mp3Decoder : public AudioDecoder, public FilterChain {
 public:
  static constexpr int32_t kImplementationConstant = 125;

  // `library` is the process-wide one unless a test gives another.
  explicit Mp3Decoder(const Mp3PrimitivesLibrary* library = nullptr);
  ~Mp3Decoder() override;

  bool AddFilter(AudioFilter* filter) override { return addFilter(filter); }
  bool RemoveFilter(AudioFilter* filter) override { return removeFilter(filter); }
  bool RemoveAllFilters() override { return removeAllFilters(); }
  int32_t Control(int32_t code, void* out, void* out2) override;
  bool GetFormat(AudioFormat* format) override;
  int32_t Open(DataStream* stream, AudioFormat* format) override;
  int32_t GetPosition(bool inTime) override;
  int32_t Seek(int32_t position, bool byTime) override;
  bool Decode(WaveHeader* block, uint32_t capacityBytes) override;
  void Release() override;

 private:
  void freeBlocks();
  void resetDecoding();
  // Goes back to the start of the data after the opening scan: a seek to 0, or, on a stream
  // that cannot seek, the start of the chunk still held, so a server's first burst is not lost.
  void restartReading(DataStream& stream);
  // Decodes one frame into `room` bytes at `destination`; returns the bytes written (0 when
  // the library has no more audio) and keeps the rest of the frame as leftover.
  uint32_t decodeFrameInto(char* destination, uint32_t room);
  int32_t readTags(void* out, void* stream);

  const Mp3PrimitivesLibrary* m_library;
  std::unique_ptr<ByteReader> m_reader;
  std::unique_ptr<AudioFormat> m_format;
  std::unique_ptr<Mp3DecoderState> m_state;
  std::unique_ptr<Mp3InputContext> m_input;
  std::vector<int16_t> m_pcm;        // one frame of the library's output
  const char* m_leftover = nullptr;  // first PCM byte of the last frame not yet handed out
  uint32_t m_leftoverBytes = 0;
  int32_t m_positionMs = 0;  // PCM handed out since Open or the last Seek
};

}  // namespace orvel
