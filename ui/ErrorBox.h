#pragma once
// The program's two message boxes, with the caption "Orvel Radio": the error box by string id
// (stop icon; id 4 "Error already handled" shows nothing; an id the table lacks shows
// "Unknown error.") and the box for a text the caller gives. UI thread; they block until the
// user answers and return the answer.

#include <cstdint>

#include "platform/MessageBoxHost.h"

namespace orvel {

class ErrorBox {
 public:
  static constexpr char16_t kUnknownError[] = u"Unknown error.";

  // Returns false when nothing was shown (id 4).
  static bool show(uint16_t stringId);
  static int message(const WString& text, MessageBoxHost::Icon icon = MessageBoxHost::Icon::Stop,
                     MessageBoxHost::Buttons buttons = MessageBoxHost::Buttons::Ok);
};

}  // namespace orvel
