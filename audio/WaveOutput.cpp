#include "audio/WaveOutput.h"

#include <new>

#include "audio/WaveFormatTable.h"
#include "platform/PlayTrace.h"

namespace orvel {

WaveOutput::WaveOutput(WaveOutputClient* client, WaveDriver* driver)
    : m_client(client), m_driver(driver != nullptr ? driver : WaveDriver::current()) {}

WaveOutput::~WaveOutput() {
  if (m_thread.joinable()) {
    if (onCallbackThread()) {
      m_thread.detach();
    } else {
      m_thread.join();
    }
  }
}

bool WaveOutput::Negotiate(WaveFormatEx* format, bool* direct) {
  if (format == nullptr || direct == nullptr) return false;
  *direct = false;
  if (format->wBitsPerSample != 8 && format->wBitsPerSample != 16) {
    format->wBitsPerSample = 16;
    format->nBlockAlign = static_cast<uint16_t>(format->nChannels * 2);
    format->nAvgBytesPerSec = format->nSamplesPerSec * format->nBlockAlign;
    return true;
  }
  if (m_driver == nullptr) return false;
  if (m_driver->query(WaveFormatTable::toPcm(*format))) {
    *direct = true;
    return true;
  }
  if (format->nChannels < 1 || format->nChannels > 2 || format->wFormatTag != kWaveFormatPcm) {
    return false;
  }
  uint32_t bits = 0;
  if (!m_driver->capabilities(&bits)) return false;
  WaveFormatTable::applyRow(*format, WaveFormatTable::chooseRow(format->nSamplesPerSec, bits));
  return true;
}

bool WaveOutput::Open(const WaveFormatEx* format, uint32_t size) {
  // No lock here: the Player opens under its own lock, which the callback thread takes inside
  // ours; no buffer circulates yet, and the first Queue's message publishes what Open set.
  if (format == nullptr || m_driver == nullptr || m_device || onCallbackThread()) return false;
  // A thread that closed the output itself ends on its own; wait for it before starting anew.
  if (m_thread.joinable()) m_thread.join();
  const uint32_t frameBytes = format->wBitsPerSample * format->nChannels / 8u;
  if (frameBytes == 0 || !allocateBuffers(size + size % frameBytes)) return false;
  m_event.reset();
  m_thread = std::thread([this] { callbackMain(); });
  m_event.wait();
  m_event.reset();
  std::unique_ptr<WaveDevice> device = m_driver->open(WaveFormatTable::toPcm(*format), &m_messages);
  if (!device) {
    // The thread has not been given the device, so it cannot call the client: end it quietly.
    m_messages.post(kEnd, 1, 0);
    m_thread.join();
    freeBuffers();
    return false;
  }
  m_queued = 0;
  m_resetting = false;
  m_skipSignal = false;
  m_device = std::move(device);
  return true;
}

// The data areas are left uninitialised: the device only plays the bytes a refill wrote, and
// zeroing two seconds of audio would hold up the first buffer.
bool WaveOutput::allocateBuffers(uint32_t size) {
  for (int i = 0; i < 2; ++i) {
    m_buffers[i].reset(new (std::nothrow) char[size]);
    m_headers[i].reset(new (std::nothrow) WaveHeader());
    if (!m_buffers[i] || !m_headers[i]) {
      freeBuffers();
      return false;
    }
  }
  m_bufferSize = size;
  return true;
}

bool WaveOutput::GetBuffer(int index, char** data, uint32_t* size) {
  if (index < 0 || index > 1 || data == nullptr) return false;
  *data = m_buffers[index].get();
  if (size != nullptr) *size = m_bufferSize;
  return *data != nullptr;
}

bool WaveOutput::writeHeader(WaveHeader& header) {
  const bool written =
      m_device->write(header.lpData, header.dwBufferLength, reinterpret_cast<intptr_t>(&header));
  if (written) PlayTrace::firstBuffer();
  return written;
}

bool WaveOutput::Queue(uint32_t bytes, int index) {
  if (index < 0 || index > 1 || !m_buffers[index] || !m_headers[index]) return false;
  // No lock: the Player queues under its own lock, which the callback thread takes inside ours.
  if (!m_device) return false;
  WaveHeader& header = *m_headers[index];
  header = WaveHeader{};
  header.lpData = m_buffers[index].get();
  header.dwBufferLength = bytes;
  if (!writeHeader(header)) return false;
  ++m_queued;
  return true;
}

bool WaveOutput::Pause() { return m_device && m_device->pause(); }

bool WaveOutput::Restart() { return m_device && m_device->restart(); }

bool WaveOutput::onCallbackThread() const { return std::this_thread::get_id() == m_threadId; }

void WaveOutput::callbackMain() {
  m_threadId = std::this_thread::get_id();
  m_event.set();
  for (;;) {
    const Message message = m_messages.get();
    if (message.message == kWaveDone) {
      onBufferDone(reinterpret_cast<WaveHeader*>(message.lParam));
    } else if (message.message == kEndHere) {
      freeBuffers();
      m_client->PlaybackEnded();
      return;
    } else if (message.message == kEnd) {
      // wParam 1: Open failed before the device existed; nobody is to be told.
      if (message.wParam == 0) m_client->PlaybackEnded();
      return;
    }
  }
}

void WaveOutput::onBufferDone(WaveHeader* header) {
  std::lock_guard lock(m_lock);
  --m_queued;
  if (m_resetting) {
    if (m_queued == 0) {
      if (m_skipSignal) {
        m_skipSignal = false;
      } else {
        m_event.set();
      }
    }
    return;
  }
  if (!m_device || header == nullptr) return;
  if (!m_client->FillBuffer(header, m_bufferSize)) return;
  // FillBuffer may have closed the output from this thread.
  if (!m_device) return;
  header->dwFlags = 0;
  if (writeHeader(*header)) ++m_queued;
}

bool WaveOutput::Reset() {
  if (!m_device || !m_thread.joinable()) return false;
  if (onCallbackThread()) {
    std::lock_guard lock(m_lock);
    if (!m_device->reset()) return false;
    m_resetting = true;
    m_skipSignal = m_queued > 0;
    return true;
  }
  {
    std::lock_guard lock(m_lock);
    if (m_queued == 0) return true;
    if (!m_device->reset()) return false;
    m_resetting = true;
  }
  m_event.wait();
  m_event.reset();
  std::lock_guard lock(m_lock);
  m_resetting = false;
  return true;
}

bool WaveOutput::Close() {
  std::unique_lock lock(m_lock);
  if (!m_device) {
    lock.unlock();
    // A callback thread that closed the output itself may still be finishing its last message.
    if (m_thread.joinable() && !onCallbackThread()) m_thread.join();
    return true;
  }
  lock.unlock();
  if (!Reset()) return false;
  lock.lock();
  m_device->close();
  m_device.reset();
  lock.unlock();
  if (onCallbackThread()) {
    m_messages.post(kEndHere, 0, 0);
    return true;
  }
  m_messages.post(kEnd, 0, 0);
  m_thread.join();
  freeBuffers();
  return true;
}

void WaveOutput::freeBuffers() {
  std::lock_guard lock(m_lock);
  for (int i = 0; i < 2; ++i) {
    m_buffers[i].reset();
    m_headers[i].reset();
  }
  m_bufferSize = 0;
}

}  // namespace orvel
