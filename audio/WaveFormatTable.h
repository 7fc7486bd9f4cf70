#pragma once
// The rule that picks a device format when the device does not play the decoder's format as it
// is: the first standard format the device announces whose rate is above the stream's, else the
// last announced one, else the first row of the table. Pure functions; any thread.
#include <cstdint>

#include "audio/AudioFormat.h"
#include "platform/wave/PcmFormat.h"

namespace orvel {

class WaveFormatTable {
 public:
  // The row (0 to 11) chosen for a stream of `rate` Hz on a device announcing `capabilityBits`.
  static int chooseRow(uint32_t rate, uint32_t capabilityBits);
  // Rewrites channels, rate and bits of `format` to those of `row`, with the derived fields.
  static void applyRow(WaveFormatEx& format, int row);
  // The wave device's view of a format record.
  static PcmFormat toPcm(const WaveFormatEx& format);
};

}  // namespace orvel
