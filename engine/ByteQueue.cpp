#include "engine/ByteQueue.h"

#include <algorithm>
#include <cstring>

#include "resources/StringTable.h"

namespace orvel {

ByteQueue::ByteQueue(PlayerEvents* events) : m_events(events), m_chunk(kChunkBufferBytes) {}

void ByteQueue::allocate(bool prebuffer) {
  std::lock_guard guard(m_lock);
  // Left uninitialised: only bytes written are ever read, and touching 128 KiB up front would
  // delay the connect.
  if (!m_ring) m_ring.reset(new uint8_t[kCapacity]);
  m_capacity = kCapacity;
  clearBytes();
  m_prebuffer = prebuffer ? kArmed : kOff;
}

void ByteQueue::release() {
  std::lock_guard guard(m_lock);
  m_ring.reset();
  m_capacity = 0;
  clearBytes();
}

void ByteQueue::beginConnection() {
  std::lock_guard guard(m_lock);
  clearBytes();
  m_endOfData = false;
  m_producerStopped = false;
  m_space.set();
  m_data.reset();
  m_readerIdle.reset();
}

void ByteQueue::clearBytes() {
  m_readPosition = 0;
  m_count = 0;
  m_appended = 0;
  m_consumed = 0;
  m_splices.clear();
  m_passedNote.reset();
}

void ByteQueue::endConnection() {
  std::lock_guard guard(m_lock);
  m_space.reset();
  m_data.reset();
  m_readerIdle.set();
}

void ByteQueue::stopProducer() {
  std::lock_guard guard(m_lock);
  m_producerStopped = true;
  m_space.set();
}

uint32_t ByteQueue::freeSpace() {
  std::lock_guard guard(m_lock);
  return m_capacity - m_count;
}

void ByteQueue::append(const uint8_t* bytes, uint32_t n) {
  std::lock_guard guard(m_lock);
  n = std::min(n, m_capacity - m_count);
  if (n == 0 || m_producerStopped) return;
  const uint32_t write = (m_readPosition + m_count) % m_capacity;
  const uint32_t first = std::min(n, m_capacity - write);
  std::memcpy(m_ring.get() + write, bytes, first);
  std::memcpy(m_ring.get(), bytes + first, n - first);
  m_count += n;
  m_appended += n;
  if (m_count == m_capacity) m_space.reset();

  const int8_t before = m_prebuffer;
  if ((m_prebuffer == kStart || m_prebuffer == kFilling) && m_count < m_capacity) {
    // Holding: the data event stays as it is until the ring is full.
  } else {
    if (m_prebuffer != kArmed) m_prebuffer = kFlowing;
    m_data.set();
  }
  reportPrebuffering(before);
}

// Called with the lock held; the reports are posts, so holding it is harmless.
void ByteQueue::reportPrebuffering(int8_t before) {
  if (m_events == nullptr) {
    if (m_prebuffer == kStart) m_prebuffer = kFilling;
    return;
  }
  if (m_prebuffer == kStart) {
    m_events->ReportStatus(kStrBuffering);
    m_prebuffer = kFilling;
  } else if (m_prebuffer == kFlowing && before > 0) {
    m_events->PrebufferComplete();
    m_events->ReportStatus(kStrPlaybackStarted);
  } else if (m_prebuffer == kFlowing && before == kOff) {
    m_events->ReportStatus(kStrPlaybackStarted);
  }
}

bool ByteQueue::isDrained() {
  std::lock_guard guard(m_lock);
  return m_count == 0 && (m_endOfData || m_readerIdle.isSet());
}

void ByteQueue::setEndOfData() {
  std::lock_guard guard(m_lock);
  m_endOfData = true;
}

void ByteQueue::resumeData() {
  std::lock_guard guard(m_lock);
  m_endOfData = false;
}

void ByteQueue::markSplice(int32_t note) {
  std::lock_guard guard(m_lock);
  m_splices.push_back({m_appended, note});
}

bool ByteQueue::atSplice() const {
  return !m_splices.empty() && m_splices.front().at == m_consumed;
}

void ByteQueue::passSplices() {
  while (atSplice()) {
    m_passedNote = m_splices.front().note;
    m_splices.pop_front();
  }
}

bool ByteQueue::takeSplice(int32_t& note) {
  std::lock_guard guard(m_lock);
  if (!m_passedNote) return false;
  note = *m_passedNote;
  m_passedNote.reset();
  return true;
}

// True when bytes may be taken now; false when none will come. Bytes left after the connection
// ended are still handed out, so a stalled stream drains before it fails.
bool ByteQueue::waitReadable() {
  for (;;) {
    {
      std::lock_guard guard(m_lock);
      if (m_capacity == 0) return false;
      const bool ended = m_readerIdle.isSet();
      if (m_count > 0 && (m_data.isSet() || ended)) return true;
      if (m_count == 0 && (m_endOfData || ended)) return false;
      if (m_interrupt.isSet()) return false;
    }
    Event::waitForAny({&m_data, &m_readerIdle, &m_interrupt});
  }
}

// Called with the lock held; never reads past the next splice.
uint32_t ByteQueue::readBytes(uint8_t* buffer, uint32_t n) {
  n = std::min(n, m_count);
  if (!m_splices.empty()) {
    n = static_cast<uint32_t>(std::min<uint64_t>(n, m_splices.front().at - m_consumed));
  }
  if (n == 0) return 0;
  const uint32_t first = std::min(n, m_capacity - m_readPosition);
  std::memcpy(buffer, m_ring.get() + m_readPosition, first);
  std::memcpy(buffer + first, m_ring.get(), n - first);
  m_readPosition = (m_readPosition + n) % m_capacity;
  m_count -= n;
  m_consumed += n;
  if (m_count == 0) m_data.reset();
  m_space.set();
  return n;
}

bool ByteQueue::Read(uint8_t* buffer, uint32_t size, uint32_t& got) {
  got = 0;
  if (buffer == nullptr) return false;
  while (got < size && waitReadable()) {
    std::lock_guard guard(m_lock);
    // The bytes behind a splice are handed out by the next read, so the consumer can tell the
    // two connections apart.
    if (atSplice()) {
      if (got > 0) break;
      passSplices();
    }
    got += readBytes(buffer + got, size - got);
  }
  return got > 0;
}

bool ByteQueue::ReadChunk(const uint8_t*& data, uint32_t& length) {
  length = 0;
  if (!waitReadable()) return false;
  std::lock_guard guard(m_lock);
  passSplices();
  const uint32_t contiguous = std::min(m_count, m_capacity - m_readPosition);
  length = readBytes(m_chunk.data(), std::min(contiguous, kChunkBufferBytes));
  data = m_chunk.data();
  return length > 0;
}

void ByteQueue::interruptReads(bool on) {
  std::lock_guard guard(m_lock);
  if (on) {
    m_interrupt.set();
  } else {
    m_interrupt.reset();
  }
}

void ByteQueue::StartPrebuffering() {
  std::lock_guard guard(m_lock);
  m_prebuffer = kStart;
  // A burst may have filled the ring while the decoder opened: no append can follow then, so
  // this is the moment the ring is full.
  if (m_capacity > 0 && m_count == m_capacity) {
    m_prebuffer = kFlowing;
    m_data.set();
    reportPrebuffering(kStart);
  }
}

int32_t ByteQueue::GetFill() {
  std::lock_guard guard(m_lock);
  if (m_capacity == 0) return 0;
  return static_cast<int32_t>(static_cast<uint64_t>(m_count) * 100 / m_capacity);
}

}  // namespace orvel
