#pragma once
// The element record of a text line: its place (from the image keys), colour, font and
// whether a line too wide for it scrolls.

#include <QRgb>

#include "skin/SkinImageElement.h"

namespace orvel {

class SkinTextElement : public SkinImageElement {
 public:
  QRgb textColor = qRgb(0, 0, 0);
  WString fontName;
  int32_t fontSize = 0;
  bool scrolling = false;
};

}  // namespace orvel
