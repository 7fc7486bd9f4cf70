#pragma once
// Plays PCM through the wave device with two buffers that circulate on a callback thread of the
// output's own: each buffer the device hands back is refilled through the client and queued
// again. Negotiate picks the device format; Pause, Restart and Close control playback.
//
// Threads: the Player's command thread calls Negotiate, Open, GetBuffer, Queue, Pause, Restart
// and Close; the callback thread calls the client's FillBuffer and PlaybackEnded, and may itself
// call Close (from inside FillBuffer), which then returns at once and leaves the clean-up to the
// thread's next message. Close from any other thread blocks until the buffers came back and the
// callback thread ended, so it must not be called with a lock that FillBuffer takes.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "audio/AudioFormat.h"
#include "audio/WaveHeader.h"
#include "platform/Event.h"
#include "platform/MessageQueue.h"
#include "platform/wave/WaveDevice.h"
#include "platform/wave/WaveDriver.h"

namespace orvel {

// What the wave output asks of its owner. Both run on the callback thread.
class WaveOutputClient {
 public:
  // Refills `header` (data area of `capacity` bytes): true queues it again; false leaves it out
  // of circulation.
  virtual bool FillBuffer(WaveHeader* header, uint32_t capacity) = 0;
  // The callback thread is about to end (after any Close).
  virtual void PlaybackEnded() = 0;

 protected:
  ~WaveOutputClient() = default;
};

class WaveOutput {
 public:
  static constexpr uint32_t kEndHere = 1;  // Close ran on the callback thread
  static constexpr uint32_t kEnd = 2;      // Close ran elsewhere; the closer cleans up

  // `driver`: null takes the process-wide driver (ORVEL_RADIO_AUDIO).
  explicit WaveOutput(WaveOutputClient* client, WaveDriver* driver = nullptr);
  // Joins a callback thread that closed itself; the device must be closed.
  virtual ~WaveOutput();
  WaveOutput(const WaveOutput&) = delete;
  WaveOutput& operator=(const WaveOutput&) = delete;

  // Adjusts `format` to one the device plays; *direct tells whether it was played as it is.
  // False for a format that cannot be mapped or a device that cannot be asked.
  bool Negotiate(WaveFormatEx* format, bool* direct);
  // Starts the callback thread and opens the device with two buffers of `size` bytes, rounded
  // up by the remainder to the format's frame size. Blocks for the thread's hand-shake.
  bool Open(const WaveFormatEx* format, uint32_t size);
  // The data area and size of buffer `index` (0 or 1).
  bool GetBuffer(int index, char** data, uint32_t* size);
  // Hands `bytes` bytes of buffer `index` to the device.
  bool Queue(uint32_t bytes, int index);
  bool Pause();
  bool Restart();
  // The device's latency behind a buffer that came back (see WaveDevice::latencyMs); 0 when
  // closed. Command thread.
  uint32_t LatencyMs() const { return m_device ? m_device->latencyMs() : 0; }
  // Stops playback, closes the device and ends the callback thread (see above). True when
  // closed or already closed; false leaves the output open.
  bool Close();

 private:
  void callbackMain();
  void onBufferDone(WaveHeader* header);
  bool Reset();
  bool onCallbackThread() const;
  bool writeHeader(WaveHeader& header);
  bool allocateBuffers(uint32_t size);
  void freeBuffers();

  WaveOutputClient* const m_client;
  WaveDriver* const m_driver;
  // --- the callback thread's queue; the thread object is the command thread's
  MessageQueue m_messages;
  std::thread m_thread;
  // Written by the callback thread before it signals m_event, which Open waits for.
  std::thread::id m_threadId;
  Event m_event{Event::Reset::Manual};
  // Recursive: a Close from inside FillBuffer runs while the callback thread holds it.
  mutable std::recursive_mutex m_lock;
  // Changed by the callback thread and Reset under m_lock, and by Queue without it (see there).
  std::atomic<int32_t> m_queued{0};
  // --- guarded by m_lock
  bool m_resetting = false;
  bool m_skipSignal = false;
  // Written by Open and Close under m_lock. Queue, Pause and Restart read it on the command
  // thread without m_lock; the only other writer is a Close on the callback thread from inside
  // FillBuffer, and the client makes those calls under the lock that its FillBuffer takes (the
  // Player's), so they never overlap.
  std::unique_ptr<WaveDevice> m_device;
  // --- set by Open, freed by Close (or by the callback thread's message 1)
  std::unique_ptr<char[]> m_buffers[2];
  uint32_t m_bufferSize = 0;
  std::unique_ptr<WaveHeader> m_headers[2];
};

}  // namespace orvel
