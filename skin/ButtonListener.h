#pragma once
// What a skin button tells its owner (a panel). Called on the UI thread from the button's
// pointer handling; must not destroy the button.

#include <QPoint>
#include <cstdint>

namespace orvel {

class SkinButton;

class ButtonListener {
 public:
  // Pointer released inside the button after a press.
  static constexpr uint32_t kNotifyClicked = 1064;
  // Pointer went down on the button; point: the pointer in screen coordinates.
  static constexpr uint32_t kNotifyPressed = 1065;
  // Pointer released after a press, inside or outside.
  static constexpr uint32_t kNotifyReleased = 1066;

  struct Notification {
    SkinButton* button;
    const QPoint* point;  // only with kNotifyPressed
  };

  virtual ~ButtonListener() = default;
  virtual intptr_t notify(uint32_t code, const Notification& data) = 0;
};

}  // namespace orvel
