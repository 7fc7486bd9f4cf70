#pragma once
// An open wave device. Buffers written to it stay the caller's; when the device is done with
// one it posts kWaveDone (957) with the buffer's cookie as lParam to the completion target
// given at open. Every buffer written comes back exactly once (played, or returned by reset or
// close). All operations may be called from any thread; none blocks for long.

#include <cstdint>

namespace orvel {

inline constexpr uint32_t kWaveDone = 957;

class WaveDevice {
 public:
  virtual ~WaveDevice() = default;

  // Queues a buffer; false when the device cannot take it (nothing will be posted for it).
  virtual bool write(const void* data, uint32_t bytes, intptr_t cookie) = 0;
  // Holds playback where it is; restart goes on from there.
  virtual bool pause() = 0;
  virtual bool restart() = 0;
  // Stops at once and posts every buffer not yet played back as done.
  virtual bool reset() = 0;
  // Resets and releases the device.
  virtual void close() = 0;
  // How long after a buffer came back as played its last sound is heard: what the device
  // buffers behind the writes. 0 for a device that hands buffers back as it plays them.
  virtual uint32_t latencyMs() const { return 0; }
};

}  // namespace orvel
