#include "skin/SkinImageElement.h"

#include "skin/ImageDecoder.h"
#include "skin/SkinImageScaler.h"

namespace orvel {

bool SkinImageElement::loadImage(ImageDecoder& decoder) {
  image = SkinImageScaler::load(decoder, imagePath, scale(), scaleDiffers());
  return !image.isNull();
}

void SkinImageElement::applyScale(float factor) {
  if (!beginScale(factor)) return;
  auto scaled = [factor](int32_t value) { return static_cast<int32_t>(value * factor); };
  x = static_cast<uint16_t>(scaled(x));
  y = static_cast<uint16_t>(scaled(y));
  left = scaled(left);
  top = scaled(top);
  right = scaled(right);
  bottom = scaled(bottom);
}

}  // namespace orvel
