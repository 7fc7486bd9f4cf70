#pragma once
// Tells a tap from a tap-and-hold, as the handheld's gesture recogniser does: called when the
// pointer goes down, it waits (running the event loop) until the pointer is released, moves
// away, or has been held long enough. A right click is a tap-and-hold of its own and never
// reaches here. UI thread only; blocks up to kHoldMs.

#include <QPoint>

class QWidget;

namespace orvel {

class GestureRecognizer {
 public:
  // A left press held this long without moving counts as tap-and-hold.
  static constexpr int kHoldMs = 600;

  // True for a tap-and-hold that began at globalPos on window; false for a tap (released
  // before kHoldMs) or a press that moved more than the drag distance.
  static bool isTapAndHold(QWidget* window, const QPoint& globalPos);
};

}  // namespace orvel
