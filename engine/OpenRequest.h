#pragma once
// What the player screen asks the Player to play. Copied by value wherever it travels.

#include <cstdint>

#include "platform/Text.h"

namespace orvel {

struct OpenRequest {
  WString url;             // an empty URL is not refused: it fails in the connection
  bool prebuffer = false;  // hold playback until the byte queue has filled once
  int32_t retries = 0;     // further connection attempts after the first (5 for an alarm)
  // Reconnections after the stream dropped while playing: 0 none (the drop closes, status 42),
  // kReconnectForever no limit (the setting, and always for an alarm).
  int32_t reconnects = 0;
  static constexpr int32_t kReconnectForever = -1;
};

}  // namespace orvel
