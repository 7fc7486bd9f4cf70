#pragma once
// The element record of a button: its image strip plus the caption's place, colour and font.

#include <QRgb>

#include "skin/SkinImageElement.h"

namespace orvel {

class SkinButtonElement : public SkinImageElement {
 public:
  // In the button's own coordinates; never scaled.
  int32_t textLeft = 0, textTop = 0, textRight = 0, textBottom = 0;
  QRgb textColor = qRgb(0, 0, 0);
  WString fontName;  // empty: no font, the button keeps the one it had
  int32_t fontSize = 0;
};

}  // namespace orvel
