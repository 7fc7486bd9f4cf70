#pragma once
// Decodes an element's image and, for a skin drawn for another screen width, stretches it by
// the element's scale factor (each side truncated), as the element's coordinates were.

#include <QImage>

#include "platform/Text.h"

namespace orvel {

class ImageDecoder;

class SkinImageScaler {
 public:
  static QImage load(ImageDecoder& decoder, const WString& path, float scale, bool stretch);
};

}  // namespace orvel
