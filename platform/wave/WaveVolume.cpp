#include "platform/wave/WaveVolume.h"

#include <atomic>
#include <mutex>

#include "platform/AppKeys.h"
#include "platform/Registry.h"

namespace orvel {
namespace {

constexpr char16_t kVolumeValue[] = u"Volume";

std::mutex g_mutex;
Registry* g_registry = nullptr;  // guarded by g_mutex; null: the process-wide one
bool g_unstored = false;         // guarded by g_mutex: change() ran since the last write
// Written under g_mutex; read without it, so a device's writer never waits for the registry.
std::atomic<bool> g_loaded{false};
std::atomic<uint32_t> g_volume{WaveVolume::kFull};

Registry& registry() { return g_registry != nullptr ? *g_registry : Registry::global(); }

}  // namespace

uint32_t WaveVolume::get() {
  if (!g_loaded.load()) {
    std::lock_guard guard(g_mutex);
    if (!g_loaded.load()) {
      const auto stored = registry().queryValue(kRadioKey, kVolumeValue);
      if (stored && stored->data.size() == 4) {
        g_volume = uint32_t(stored->data[0]) | uint32_t(stored->data[1]) << 8 |
                   uint32_t(stored->data[2]) << 16 | uint32_t(stored->data[3]) << 24;
      }
      g_loaded = true;
    }
  }
  return g_volume.load();
}

void WaveVolume::set(uint32_t volume) {
  std::lock_guard guard(g_mutex);
  g_volume = volume;
  g_loaded = true;
  g_unstored = false;
  registry().setDword(kRadioKey, kVolumeValue, volume);
}

void WaveVolume::change(uint32_t volume) {
  std::lock_guard guard(g_mutex);
  g_volume = volume;
  g_loaded = true;
  g_unstored = true;
}

void WaveVolume::store() {
  std::lock_guard guard(g_mutex);
  if (!g_unstored) return;
  g_unstored = false;
  registry().setDword(kRadioKey, kVolumeValue, g_volume.load());
}

void WaveVolume::useRegistry(Registry* registry) {
  std::lock_guard guard(g_mutex);
  g_registry = registry;
  g_loaded = false;
  g_unstored = false;
  g_volume = kFull;
}

void WaveVolume::apply(uint32_t volume, const PcmFormat& format, uint8_t* data, uint32_t bytes) {
  if (volume == kFull || format.channels == 0) return;
  const uint32_t gains[2] = {volume & 0xFFFF, volume >> 16};
  if (format.bits == 16) {
    const uint32_t samples = bytes / 2;
    for (uint32_t i = 0; i < samples; ++i) {
      const uint32_t gain = gains[format.channels == 2 ? i % 2 : 0];
      auto s = static_cast<int16_t>(data[2 * i] | (data[2 * i + 1] << 8));
      s = static_cast<int16_t>(static_cast<int32_t>(s) * static_cast<int32_t>(gain) / 0xFFFF);
      data[2 * i] = static_cast<uint8_t>(s & 0xFF);
      data[2 * i + 1] = static_cast<uint8_t>((s >> 8) & 0xFF);
    }
  } else if (format.bits == 8) {
    for (uint32_t i = 0; i < bytes; ++i) {
      const uint32_t gain = gains[format.channels == 2 ? i % 2 : 0];
      const int32_t centred = static_cast<int32_t>(data[i]) - 128;
      data[i] = static_cast<uint8_t>(128 + centred * static_cast<int32_t>(gain) / 0xFFFF);
    }
  }
}

}  // namespace orvel
