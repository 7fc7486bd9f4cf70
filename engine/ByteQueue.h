#pragma once
// The ring of stream bytes between one producer at a time (the connect thread for the bytes
// that came with the answer, then the reader thread) and the stream's reader (one consumer at a
// time: the connect thread for ICY header lines, then the decoder on the player thread and the
// wave output's thread), with prebuffering and its status reports. A reconnection appends the
// new connection's bytes behind the old ones with a splice mark: no read crosses a splice, and
// the consumer learns that the bytes it reads next start a new connection.
//
// Locking: one lock guards every field and the events' transitions; waits happen outside it.
// The producer takes the lock only to size a network read and to append, never while it waits
// for the network, so a stalled server never keeps the consumer from bytes already queued.
// The queue lock is the innermost lock of the engine (after the wave output's, the Player's and
// the recording lock).

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "engine/PlayerEvents.h"
#include "platform/Event.h"

namespace orvel {

class ByteQueue {
 public:
  static constexpr uint32_t kCapacity = 131072;
  static constexpr uint32_t kChunkBufferBytes = 65536;

  enum Prebuffer : int8_t { kOff = -1, kFlowing = 0, kArmed = 1, kStart = 2, kFilling = 3 };

  // `events` receives the buffering reports; not owned, may be null.
  explicit ByteQueue(PlayerEvents* events);
  ByteQueue(const ByteQueue&) = delete;
  ByteQueue& operator=(const ByteQueue&) = delete;

  // --- connection life, on the connecting and disconnecting threads
  // Allocates the ring (once; kept until release), empties it and sets the prebuffer state to
  // armed or off.
  void allocate(bool prebuffer);
  // Frees the ring; GetFill is 0 and reads fail until the next allocate.
  void release();
  // A connection starts being read: empty, no end of data, producing allowed, space set, data
  // and idle clear.
  void beginConnection();
  // The connection's reading ended: space and data clear, idle set; pending reads return.
  void endConnection();

  // --- producer (the connect thread for the bytes that came with the answer, then the reader
  // thread)
  Event& spaceEvent() { return m_space; }
  // Free bytes; only the consumer changes it meanwhile, and only upwards.
  uint32_t freeSpace();
  // Copies n <= freeSpace() bytes in, then reports the prebuffering steps. Refused once the
  // producer was stopped.
  void append(const uint8_t* bytes, uint32_t n);
  // Any thread: the producer is to end. From now until the next beginConnection the space
  // event stays set and appends are refused, so a producer that appends just after its last
  // look at its stop flags cannot clear the event and then wait for it for ever.
  void stopProducer();
  // No more data will come for this connection (a stall or a failed read).
  void setEndOfData();
  // More data will come after all (a reconnection follows): undoes setEndOfData.
  void resumeData();
  // The bytes appended from now on come from a new connection to the same stream; `note` is
  // handed to the consumer when it reaches them (takeSplice).
  void markSplice(int32_t note);

  // --- consumer
  // Blocks until `size` bytes were copied, the data ended or the connection ended; `got` is the
  // number copied. True when any byte was read. Holds back while prebuffering holds.
  bool Read(uint8_t* buffer, uint32_t size, uint32_t& got);
  // Hands out the next contiguous run (at most kChunkBufferBytes) through the chunk buffer; the
  // pointer stays valid until the next ReadChunk. Blocks like Read; false when nothing came.
  bool ReadChunk(const uint8_t*& data, uint32_t& length);
  // True once after a Read or ReadChunk whose bytes begin a new connection, with that splice's
  // note (the latest, when several met at one place). Read stops short of a splice instead.
  bool takeSplice(int32_t& note);

  // --- Player
  // While on, a consumer that would wait for bytes returns with what it has (maybe nothing),
  // and one already waiting is woken: a Stop or Close must not wait for a server that sends a
  // byte now and then. Nothing queued is dropped, so reading goes on where it stopped once
  // this is off again. Any thread.
  void interruptReads(bool on);
  // Begins holding playback until the ring is full; reports completion at once when it is.
  void StartPrebuffering();
  // Fill in percent, rounded down; 0 without a ring.
  int32_t GetFill();
  // True when no byte is queued and none will come: the data ended or the reading stopped.
  bool isDrained();
  bool isReaderIdle() const { return m_readerIdle.isSet(); }
  // Blocks until the current connection's reading has ended.
  void waitReaderIdle() { m_readerIdle.wait(); }

 private:
  struct Splice {
    uint64_t at;  // the count of bytes appended before the new connection's first byte
    int32_t note;
  };

  bool waitReadable();
  uint32_t readBytes(uint8_t* buffer, uint32_t n);
  bool atSplice() const;
  void passSplices();
  void reportPrebuffering(int8_t before);
  void clearBytes();

  PlayerEvents* const m_events;
  std::mutex m_lock;
  Event m_space{Event::Reset::Manual, true};
  Event m_data{Event::Reset::Manual, false};
  Event m_readerIdle{Event::Reset::Manual, true};
  Event m_interrupt{Event::Reset::Manual, false};  // set while reads are interrupted
  // --- guarded by m_lock
  std::unique_ptr<uint8_t[]> m_ring;  // null, or kCapacity bytes
  uint32_t m_capacity = 0;
  uint32_t m_readPosition = 0;
  uint32_t m_count = 0;
  int8_t m_prebuffer = kOff;
  bool m_endOfData = false;
  bool m_producerStopped = false;
  uint64_t m_appended = 0;              // bytes appended since the connection began
  uint64_t m_consumed = 0;              // bytes read since the connection began
  std::deque<Splice> m_splices;         // ahead of the read position, oldest first
  std::optional<int32_t> m_passedNote;  // the note of a splice just read past
  // --- consumer only
  std::vector<uint8_t> m_chunk;
};

}  // namespace orvel
