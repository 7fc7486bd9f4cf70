#pragma once
// A window message for a skin control, posted through Qt's event queue: how the main window
// sends the relayout message (1043) to every control after the skin was parsed again, and how
// the player's threads reach the player panel. Made on any thread; read on the UI thread.

#include <QEvent>
#include <cstdint>

#include "skin/PostedEventHandOff.h"

namespace orvel {

// Makes every skin control re-read its element in place; no parameters.
inline constexpr uint32_t kSkinRelayoutMessage = 0x400 + 19;

class SkinMessageEvent : public QEvent {
 public:
  SkinMessageEvent(uint32_t message, uintptr_t wParam, intptr_t lParam)
      : QEvent(eventType()), message(message), wParam(wParam), lParam(lParam) {
    PostedEventHandOff::posted();
  }

  // The Qt event type of these events, registered once.
  static QEvent::Type eventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
  }

  const uint32_t message;
  const uintptr_t wParam;
  const intptr_t lParam;
};

}  // namespace orvel
