#include "tests/support/RecordingMessageBoxHost.h"

namespace orvel::test {

RecordingMessageBoxHost::RecordingMessageBoxHost(int answer)
    : m_answer(answer), m_previous(MessageBoxHost::install(this)) {}

RecordingMessageBoxHost::~RecordingMessageBoxHost() { MessageBoxHost::install(m_previous); }

int RecordingMessageBoxHost::show(const WString& text, const WString& caption, Icon icon,
                                  Buttons buttons) {
  shown.push_back(Shown{text, caption, icon, buttons});
  return m_answer;
}

}  // namespace orvel::test
