#pragma once
// Keeps the desktop from blanking the screen or suspending while a stream plays: each reset
// tells the desktop's screen saver service (D-Bus org.freedesktop.ScreenSaver) that the user is
// active. Without a session bus or that service it does nothing. UI thread; never blocks (the
// call is sent without waiting for its answer).

namespace orvel {

class IdleTimer {
 public:
  static void reset();
};

}  // namespace orvel
