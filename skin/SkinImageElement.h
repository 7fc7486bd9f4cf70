#pragma once
// The element record of a button or a text line: where it lies on its panel and its image.

#include <QImage>
#include <QRect>
#include <cstdint>

#include "skin/SkinElement.h"

namespace orvel {

class SkinImageElement : public SkinElement {
 public:
  bool loadImage(ImageDecoder& decoder) override;
  void applyScale(float scale) override;

  // left = X, top = Y, right = X + Width, bottom = Y + Height (right and bottom exclusive).
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  uint16_t x = 0, y = 0;
  QImage image;  // null when there is none or it could not be decoded

  int32_t width() const { return right - left; }
  int32_t height() const { return bottom - top; }
  QRect rect() const { return QRect(left, top, width(), height()); }
};

}  // namespace orvel
