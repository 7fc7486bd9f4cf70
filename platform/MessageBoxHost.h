#pragma once
// Shows message boxes. The program shows every box through the current host: the Qt host in
// the UI, a host that prints to stderr in headless tools, a recording host in tests.
// Called on the UI thread only; show() blocks until the user answers.

#include "platform/Text.h"

namespace orvel {

class MessageBoxHost {
 public:
  enum class Icon { None, Stop, Information, Question, Warning };
  enum class Buttons { Ok, OkCancel, YesNo };
  // The user's answer, with the platform's values.
  enum Answer { kOk = 1, kCancel = 2, kYes = 6, kNo = 7 };

  virtual ~MessageBoxHost() = default;
  virtual int show(const WString& text, const WString& caption, Icon icon, Buttons buttons) = 0;

  // The host in use; a stderr host until one is installed. Not owned.
  static MessageBoxHost& current();
  // Installs a host (nullptr restores the stderr host); returns the previous one.
  static MessageBoxHost* install(MessageBoxHost* host);
};

}  // namespace orvel
