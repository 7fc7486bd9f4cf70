#include "platform/wave/PacedWaveDriver.h"

#include "platform/wave/PacedWaveDevice.h"

namespace orvel {

PacedWaveDriver::PacedWaveDriver(std::string wavPath, bool realTime,
                                 std::optional<uint32_t> capsMask)
    : m_wavPath(std::move(wavPath)), m_realTime(realTime), m_capsMask(capsMask) {}

bool PacedWaveDriver::query(const PcmFormat& format) {
  if (m_capsMask) return (capabilityBitOf(format) & *m_capsMask) != 0;
  return (format.bits == 8 || format.bits == 16) && (format.channels == 1 || format.channels == 2) &&
         format.rate >= 8000 && format.rate <= 192000;
}

bool PacedWaveDriver::capabilities(uint32_t* bits) {
  if (bits == nullptr) return false;
  *bits = m_capsMask.value_or(kAllStandardFormats) & kAllStandardFormats;
  return true;
}

std::unique_ptr<WaveDevice> PacedWaveDriver::open(const PcmFormat& format,
                                                  MessageTarget* completions) {
  if (completions == nullptr || !query(format)) return nullptr;
  std::unique_ptr<WavFileWriter> file;
  if (!m_wavPath.empty()) {
    file = std::make_unique<WavFileWriter>();
    if (!file->open(m_wavPath, format)) return nullptr;
  }
  return std::make_unique<PacedWaveDevice>(format, completions, std::move(file), m_realTime);
}

}  // namespace orvel
