#include "platform/wave/QueuedWaveDevice.h"

#include "platform/MessageTarget.h"

namespace orvel {

QueuedWaveDevice::QueuedWaveDevice(MessageTarget* completions) : m_completions(completions) {}

QueuedWaveDevice::~QueuedWaveDevice() = default;

void QueuedWaveDevice::startWorker() {
  m_worker = std::thread([this] { run(); });
}

void QueuedWaveDevice::done(const Pending& buffer) {
  m_completions->post(kWaveDone, 0, buffer.cookie);
}

void QueuedWaveDevice::wake() {
  m_changed.notify_all();
  wakeWorker();
}

void QueuedWaveDevice::returnQueued() {
  for (const Pending& buffer : m_queue) done(buffer);
  m_queue.clear();
  onQueueReturned();
}

bool QueuedWaveDevice::write(const void* data, uint32_t bytes, intptr_t cookie) {
  {
    std::lock_guard guard(m_mutex);
    if (m_closing) return false;
    m_queue.push_back(Pending{static_cast<const uint8_t*>(data), bytes, cookie});
  }
  wake();
  return true;
}

bool QueuedWaveDevice::pause() {
  {
    std::lock_guard guard(m_mutex);
    m_paused = true;
  }
  wake();
  return true;
}

bool QueuedWaveDevice::restart() {
  {
    std::lock_guard guard(m_mutex);
    m_paused = false;
  }
  wake();
  return true;
}

bool QueuedWaveDevice::reset() {
  {
    std::lock_guard guard(m_mutex);
    ++m_resets;
    // The buffer the worker holds (if any) is the worker's to return; the queued ones go now.
    returnQueued();
  }
  wake();
  return true;
}

void QueuedWaveDevice::close() {
  {
    std::lock_guard guard(m_mutex);
    if (m_closing) return;
    m_closing = true;
    ++m_resets;
    returnQueued();
  }
  wake();
  if (m_worker.joinable()) m_worker.join();
  release();
}

}  // namespace orvel
