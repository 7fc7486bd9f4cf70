#include "ui/ErrorBox.h"

#include "platform/AppKeys.h"
#include "resources/StringTable.h"

namespace orvel {

bool ErrorBox::show(uint16_t stringId) {
  if (stringId == kStrErrorAlreadyHandled) return false;
  const char16_t* text = StringTable::find(stringId);
  message(text != nullptr ? WString(text) : WString(kUnknownError));
  return true;
}

int ErrorBox::message(const WString& text, MessageBoxHost::Icon icon,
                      MessageBoxHost::Buttons buttons) {
  return MessageBoxHost::current().show(text, kProgramTitle, icon, buttons);
}

}  // namespace orvel
