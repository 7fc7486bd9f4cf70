#pragma once
// The record a list view sends to its parent window when the user taps it: which list, which
// notification, the item under the pointer and the point on the screen.

#include <QPoint>

class QWidget;

namespace orvel {

struct ToolkitNotification {
  enum Code : int {
    kTap = -190,         // item activation
    kTapAndHold = -191,  // context menu
    kSingleTap = -192,   // a tap when double taps activate
  };
  QWidget* sender = nullptr;
  int senderId = 0;
  int code = 0;
  int item = -1;  // the row under the pointer, -1 when none
  QPoint screenPoint;
};

}  // namespace orvel
