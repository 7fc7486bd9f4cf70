#include "audio/WaveFormatTable.h"

namespace orvel {

int WaveFormatTable::chooseRow(uint32_t rate, uint32_t capabilityBits) {
  int lastSupported = 0;
  for (int row = 0; row < 12; ++row) {
    if ((capabilityBits & (1u << row)) == 0) continue;
    if (kStandardFormats[row].rate > rate) return row;
    lastSupported = row;
  }
  return lastSupported;
}

void WaveFormatTable::applyRow(WaveFormatEx& format, int row) {
  const PcmFormat& chosen = kStandardFormats[row];
  format.nChannels = chosen.channels;
  format.nSamplesPerSec = chosen.rate;
  format.wBitsPerSample = chosen.bits;
  format.nBlockAlign = static_cast<uint16_t>(chosen.channels * chosen.bits / 8);
  format.nAvgBytesPerSec = chosen.rate * format.nBlockAlign;
}

PcmFormat WaveFormatTable::toPcm(const WaveFormatEx& format) {
  return PcmFormat{format.nChannels, format.nSamplesPerSec, format.wBitsPerSample};
}

}  // namespace orvel
