#pragma once
// Records the boxes the program would show, and answers them with a set answer. Installs
// itself for its lifetime.

#include <vector>

#include "platform/MessageBoxHost.h"

namespace orvel::test {

class RecordingMessageBoxHost : public MessageBoxHost {
 public:
  struct Shown {
    WString text;
    WString caption;
    Icon icon;
    Buttons buttons;
  };

  explicit RecordingMessageBoxHost(int answer = kOk);
  ~RecordingMessageBoxHost() override;

  int show(const WString& text, const WString& caption, Icon icon, Buttons buttons) override;

  std::vector<Shown> shown;

 private:
  int m_answer;
  MessageBoxHost* m_previous;
};

}  // namespace orvel::test
