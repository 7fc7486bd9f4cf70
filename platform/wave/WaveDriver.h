#pragma once
// A kind of wave device: answers which formats it plays and opens devices. The driver in use is
// chosen by ORVEL_RADIO_AUDIO:
//   alsa (default)           ALSA "default" PCM
//   null[?caps=MASK]         discards at the real-time pace of the format
//   wav:PATH[?caps=MASK]     writes a WAV file at real-time pace
//   wav-fast:PATH[?caps=..]  writes a WAV file as fast as buffers come
// With caps, null and wav play only the standard formats whose bits are in MASK.
// Thread-safe.

#include <memory>
#include <string>

#include "platform/MessageTarget.h"
#include "platform/wave/PcmFormat.h"
#include "platform/wave/WaveDevice.h"

namespace orvel {

class WaveDriver {
 public:
  virtual ~WaveDriver() = default;

  // True when the device plays the format as it is.
  virtual bool query(const PcmFormat& format) = 0;
  // The capability bits of the standard formats the device plays; nothing when the device
  // cannot be asked.
  virtual bool capabilities(uint32_t* bits) = 0;
  // Opens the device for the format; completions go to `completions`. Nothing on failure.
  virtual std::unique_ptr<WaveDevice> open(const PcmFormat& format, MessageTarget* completions) = 0;

  // The driver named by `spec` (the ORVEL_RADIO_AUDIO syntax); nothing when the name is unknown
  // or malformed.
  static std::unique_ptr<WaveDriver> create(const std::string& spec);
  // The process-wide driver named by ORVEL_RADIO_AUDIO, made at the first call. Nothing for a
  // bad name (said once on stderr): the program then reports that it cannot open the sound device.
  static WaveDriver* current();
};

}  // namespace orvel
