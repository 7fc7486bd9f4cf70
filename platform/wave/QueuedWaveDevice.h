#pragma once
// What the ALSA and the paced devices share: the queue of buffers written and not yet taken by
// the device's worker thread, the pause, reset and close requests, and the rule that every
// buffer comes back exactly once. A device derives from this, starts its worker with
// startWorker, and calls close in its own destructor (the base's calls would not reach it).
//
// Threads: write, pause, restart and reset come from any thread; close from the owner (its
// first call closes, later ones return at once). The worker takes buffers off the queue under
// m_mutex and posts each one back when done with it.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/wave/WaveDevice.h"

namespace orvel {

class MessageTarget;

class QueuedWaveDevice : public WaveDevice {
 public:
  bool write(const void* data, uint32_t bytes, intptr_t cookie) final;
  bool pause() final;
  bool restart() final;
  bool reset() final;
  void close() final;

 protected:
  struct Pending {
    const uint8_t* data;
    uint32_t bytes;
    intptr_t cookie;
  };

  explicit QueuedWaveDevice(MessageTarget* completions);
  ~QueuedWaveDevice() override;

  void startWorker();
  // The worker thread's body: until m_closing, take buffers off m_queue and play them.
  virtual void run() = 0;
  // Wakes a worker that sleeps elsewhere than on m_changed (the ALSA poll).
  virtual void wakeWorker() {}
  // Under m_mutex, when reset or close returned the queued buffers.
  virtual void onQueueReturned() {}
  // After the worker ended: release what the device holds (owner thread).
  virtual void release() {}

  // Posts one buffer back as done (any thread, no lock needed).
  void done(const Pending& buffer);

  MessageTarget* const m_completions;  // immutable
  std::mutex m_mutex;
  std::condition_variable m_changed;  // notified on every request and write
  // --- guarded by m_mutex
  std::deque<Pending> m_queue;  // written, not yet taken by the worker
  bool m_paused = false;        // what callers asked for
  bool m_closing = false;
  uint64_t m_resets = 0;  // counts resets and the close, so a worker sees any since it looked

 private:
  void wake();
  void returnQueued();  // with m_mutex held

  std::thread m_worker;  // owner thread: started by the device, joined by close
};

}  // namespace orvel
