#include "platform/wave/WaveDriver.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/wave/AlsaWaveDriver.h"
#include "platform/wave/PacedWaveDriver.h"

namespace orvel {
namespace {

// Splits "NAME[:PATH][?caps=MASK]"; false when the option is malformed.
bool parseSpec(const std::string& spec, std::string& head, std::optional<uint32_t>& caps) {
  const size_t q = spec.rfind("?caps=");
  head = spec.substr(0, q);
  if (q == std::string::npos) return true;
  const std::string mask = spec.substr(q + 6);
  if (mask.empty() || mask.size() > 10) return false;
  char* end = nullptr;
  const unsigned long value = std::strtoul(mask.c_str(), &end, 0);
  if (*end != '\0' || value > 0xFFF) return false;
  caps = static_cast<uint32_t>(value);
  return true;
}

}  // namespace

std::unique_ptr<WaveDriver> WaveDriver::create(const std::string& spec) {
  std::string head;
  std::optional<uint32_t> caps;
  if (!parseSpec(spec, head, caps)) return nullptr;
  if (head == "alsa" && !caps) return std::make_unique<AlsaWaveDriver>();
  if (head == "null") return std::make_unique<PacedWaveDriver>("", true, caps);
  if (head.rfind("wav:", 0) == 0 && head.size() > 4) {
    return std::make_unique<PacedWaveDriver>(head.substr(4), true, caps);
  }
  if (head.rfind("wav-fast:", 0) == 0 && head.size() > 9) {
    return std::make_unique<PacedWaveDriver>(head.substr(9), false, caps);
  }
  return nullptr;
}

WaveDriver* WaveDriver::current() {
  static std::once_flag once;
  static std::unique_ptr<WaveDriver> driver;
  std::call_once(once, [] {
    const char* value = std::getenv("ORVEL_RADIO_AUDIO");
    const std::string spec = value != nullptr && *value != '\0' ? value : "alsa";
    driver = create(spec);
    if (!driver) {
      std::fprintf(stderr,
                   "orvel-radio: ORVEL_RADIO_AUDIO=%s is not a sound device (alsa, null, wav:PATH, "
                   "wav-fast:PATH, optionally with ?caps=MASK)\n",
                   spec.c_str());
    }
  });
  return driver.get();
}

}  // namespace orvel
