#pragma once
// The playback benchmark's probe: when ORVEL_RADIO_TRACE_PLAY is "1", mark(EVENT) prints
// "EVENT MS" on stderr, MS being the monotonic clock in milliseconds, so a script can subtract
// two marks of one run. Otherwise it does nothing. Any thread.

namespace orvel {

class PlayTrace {
 public:
  static void mark(const char* event);
  // Marks "first-buffer" the first time the process hands a buffer to a sound device.
  static void firstBuffer();
};

}  // namespace orvel
