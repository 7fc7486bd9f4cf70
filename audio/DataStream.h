#pragma once
// The byte stream that decoders read and recordings write through: a network stream (engine/
// IcyStream and its recording layer) or a file (engine/FileStream).
//
// Eleven operations in this fixed order. A stream is used by one thread at a time (the player's
// command thread while a decoder opens, then the wave output's thread); implementations say
// which operations block. A network stream cannot seek and reports the size -1.

#include <cstdint>

namespace orvel {

class DataStream {
 public:
  enum SeekOrigin : int32_t { kFromStart = 0, kFromCurrent = 1, kFromEnd = 2 };

  // 1. Non-zero when the stream is open. (The network stream answers 0.)
  virtual int32_t IsOpen() = 0;
  // 2. Copies up to `size` bytes; returns how many (0 at the end or on failure). May block.
  virtual int32_t Read(void* buffer, int32_t size) = 0;
  // 3. Hands out the next run of bytes without a copy: *data points at it until the next
  //    ReadChunk; `spare` is passed along unchanged. Returns the run's length; 0 when there is
  //    none (end, failure, or not offered by this stream). May block.
  virtual int32_t ReadChunk(const uint8_t** data, uint32_t* spare) = 0;
  // 4. Writes `size` bytes; returns how many were written.
  virtual int32_t Write(const void* buffer, int32_t size) = 0;
  // 5. Moves the position; returns the new position, or -1 when the stream cannot seek there.
  virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;
  // 6. The current position in bytes.
  virtual int64_t GetPosition() = 0;
  // 7. The size in bytes, or -1 when unknown.
  virtual int64_t GetSize() = 0;
  // 8. True when no more bytes will come.
  virtual bool IsAtEnd() { return GetPosition() >= GetSize(); }
  // 9. and 10. Slots that no stream of the program uses; kept so the operation order stays.
  virtual int32_t Reserved9() { return 0; }
  virtual int32_t Reserved10() { return 0; }
  // 11. Ends the caller's use of the stream: a file stream destroys itself; the network
  //     stream does nothing (the Player owns it).
  virtual void Release() = 0;

 protected:
  virtual ~DataStream() = default;
};

}  // namespace orvel
