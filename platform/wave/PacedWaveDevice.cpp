#include "platform/wave/PacedWaveDevice.h"

#include "platform/wave/WaveVolume.h"

namespace orvel {

PacedWaveDevice::PacedWaveDevice(const PcmFormat& format, MessageTarget* completions,
                                 std::unique_ptr<WavFileWriter> file, bool realTime)
    : QueuedWaveDevice(completions),
      m_format(format),
      m_realTime(realTime),
      m_file(std::move(file)) {
  startWorker();
}

PacedWaveDevice::~PacedWaveDevice() { close(); }

void PacedWaveDevice::onQueueReturned() { m_playedOfFront = {}; }

void PacedWaveDevice::release() {
  if (m_file) m_file->close();
}

void PacedWaveDevice::run() {
  std::unique_lock lock(m_mutex);
  for (;;) {
    m_changed.wait(lock, [this] { return m_closing || (!m_queue.empty() && !m_paused); });
    if (m_closing) return;
    if (!playFront(lock)) continue;
    const Pending played = m_queue.front();
    m_queue.pop_front();
    m_playedOfFront = {};
    lock.unlock();
    deliver(played);
    lock.lock();
  }
}

bool PacedWaveDevice::playFront(std::unique_lock<std::mutex>& lock) {
  if (!m_realTime) return true;
  const Pending front = m_queue.front();
  const uint32_t rate = std::max<uint32_t>(1, m_format.bytesPerSecond());
  const auto length = std::chrono::duration_cast<Clock::duration>(
      std::chrono::microseconds(uint64_t{front.bytes} * 1000000 / rate));
  const uint64_t resets = m_resets;
  const auto started = Clock::now();
  const auto deadline = started + (length - m_playedOfFront);
  m_changed.wait_until(lock, deadline, [&] { return m_closing || m_paused || m_resets != resets; });
  if (m_closing || m_resets != resets) return false;
  if (m_paused) {
    m_playedOfFront += Clock::now() - started;
    return false;
  }
  return true;
}

void PacedWaveDevice::deliver(const Pending& buffer) {
  if (m_file) {
    m_scratch.assign(buffer.data, buffer.data + buffer.bytes);
    WaveVolume::apply(WaveVolume::get(), m_format, m_scratch.data(), buffer.bytes);
    m_file->write(m_scratch.data(), buffer.bytes);
  }
  done(buffer);
}

}  // namespace orvel
