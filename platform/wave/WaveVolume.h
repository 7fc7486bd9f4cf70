#pragma once
// The device volume: two 16-bit channels in one 32-bit value (left in the low word, right in
// the high word; 0xFFFF is full), applied in software by the devices that produce sound and kept
// in the registry value "Volume" under the program's key across runs. Thread-safe.

#include <cstdint>

#include "platform/wave/PcmFormat.h"

namespace orvel {

class Registry;

class WaveVolume {
 public:
  static constexpr uint32_t kFull = 0xFFFFFFFF;

  // The volume; read from the registry at the first call (full when none is stored).
  static uint32_t get();
  // Sets and stores the volume.
  static void set(uint32_t volume);
  // Sets the volume without storing it: a held volume button changes it eight times a second,
  // and a registry write rewrites and flushes the whole file. store() writes it later.
  static void change(uint32_t volume);
  // Stores the volume when change() left it unstored; nothing otherwise.
  static void store();
  // Uses this registry instead of the process-wide one (tests); also forgets the cached value.
  static void useRegistry(Registry* registry);

  // Scales PCM samples in place by the volume (nothing to do at full volume).
  static void apply(uint32_t volume, const PcmFormat& format, uint8_t* data, uint32_t bytes);
};

}  // namespace orvel
