#pragma once
// A cursor over the chunks that a DataStream hands out with ReadChunk: the MP3 decoder reads
// headers and frames through it, and the primitives library pulls compressed bytes through
// its read callback straight from the chunks.
//
// Used by one thread at a time (the one that drives the decoder); no lock.

#include <cstdint>
#include <vector>

#include "audio/DataStream.h"

namespace orvel {

class ByteReader {
 public:
  explicit ByteReader(DataStream* source) : m_source(source) {}

  // Moves to the next chunk; returns its length (0 when the stream had none).
  int32_t refill();
  // Drops what is left of the current chunk and loads the next one (after a Seek).
  void reprime();
  // Goes back to the first byte of the last chunk the stream handed out, which is still held:
  // on a stream that cannot seek, this is as far back as reading can go.
  void rewindChunk() { m_cursor = m_chunkStart; }
  // Bytes left in the current chunk.
  uint32_t available() const { return static_cast<uint32_t>(m_end - m_cursor); }
  // The next byte; the caller makes sure one is available.
  uint8_t take() { return *m_cursor++; }
  // Skips `count` bytes, refilling as needed; false when a refill came back empty.
  bool skip(uint32_t count);
  // Makes at least `count` bytes available without consuming them, joining chunks into a
  // buffer of its own when needed; returns how many are available (fewer at the end).
  uint32_t lookAhead(uint32_t count);
  const uint8_t* cursor() const { return m_cursor; }
  DataStream* source() const { return m_source; }

  // The stream position of the next unread byte.
  int64_t position() const { return m_source->GetPosition() - available(); }

  // The primitives library's read callback: copies up to `count` bytes, refilling whenever the
  // chunk is used up; fewer only when a refill came back empty.
  static int32_t readCallback(uint8_t* destination, int32_t count, ByteReader* reader);

 private:
  const uint8_t* m_cursor = nullptr;
  const uint8_t* m_end = nullptr;
  const uint8_t* m_chunkStart = nullptr;  // the last chunk's first byte (maybe in m_joined)
  uint32_t m_spare = 0;
  DataStream* m_source;
  std::vector<uint8_t> m_joined;  // chunks joined by lookAhead
};

}  // namespace orvel
