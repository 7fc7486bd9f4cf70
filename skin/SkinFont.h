#pragma once
// The font of a skin element: a face name and a pixel height, antialiased.

#include <QFont>

#include "platform/Text.h"

namespace orvel {

class SkinFont {
 public:
  // The platform's font description holds 31 characters of face name; longer names are cut.
  static constexpr size_t kMaxFaceChars = 31;

  static QFont make(const WString& faceName, int pixelSize, bool bold);
};

}  // namespace orvel
