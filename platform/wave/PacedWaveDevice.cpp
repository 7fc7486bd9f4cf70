#include "platform/wave/PacedWaveDevice.h"

#include "platform/MessageTarget.h"
#include "platform/wave/WaveVolume.h"

namespace orvel {

PacedWaveDevice::PacedWaveDevice(const PcmFormat& format, MessageTarget* completions,
                                 std::unique_ptr<WavFileWriter> file, bool realTime)
    : m_format(format), m_completions(completions), m_realTime(realTime), m_file(std::move(file)) {
  m_worker = std::thread([this] { run(); });
}

PacedWaveDevice::~PacedWaveDevice() { close(); }

bool PacedWaveDevice::write(const void* data, uint32_t bytes, intptr_t cookie) {
  {
    std::lock_guard guard(m_mutex);
    if (m_closing) return false;
    m_queue.push_back(Pending{static_cast<const uint8_t*>(data), bytes, cookie});
  }
  m_changed.notify_all();
  return true;
}

bool PacedWaveDevice::pause() {
  std::lock_guard guard(m_mutex);
  m_paused = true;
  m_changed.notify_all();
  return true;
}

bool PacedWaveDevice::restart() {
  std::lock_guard guard(m_mutex);
  m_paused = false;
  m_changed.notify_all();
  return true;
}

bool PacedWaveDevice::reset() {
  std::unique_lock lock(m_mutex);
  ++m_resets;
  returnAll(lock);
  m_changed.notify_all();
  return true;
}

void PacedWaveDevice::close() {
  {
    std::unique_lock lock(m_mutex);
    if (m_closing && !m_worker.joinable()) return;
    m_closing = true;
    ++m_resets;
    returnAll(lock);
  }
  m_changed.notify_all();
  if (m_worker.joinable()) m_worker.join();
  if (m_file) m_file->close();
}

void PacedWaveDevice::returnAll(std::unique_lock<std::mutex>&) {
  for (const Pending& buffer : m_queue) m_completions->post(kWaveDone, 0, buffer.cookie);
  m_queue.clear();
  m_playedOfFront = {};
}

void PacedWaveDevice::run() {
  std::unique_lock lock(m_mutex);
  for (;;) {
    m_changed.wait(lock, [this] { return m_closing || (!m_queue.empty() && !m_paused); });
    if (m_closing) return;
    if (!playFront(lock)) continue;
    const Pending done = m_queue.front();
    m_queue.pop_front();
    m_playedOfFront = {};
    lock.unlock();
    deliver(done);
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
  m_completions->post(kWaveDone, 0, buffer.cookie);
}

}  // namespace orvel
