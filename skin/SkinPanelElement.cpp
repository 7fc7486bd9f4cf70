#include "skin/SkinPanelElement.h"

#include "skin/SkinImageScaler.h"

namespace orvel {

bool SkinPanelElement::loadImage(ImageDecoder& decoder) {
  image = SkinImageScaler::load(decoder, imagePath, scale(), scaleDiffers());
  return !image.isNull();
}

void SkinPanelElement::applyScale(float factor) {
  if (!beginScale(factor)) return;
  auto scaled = [factor](uint16_t value) { return static_cast<uint16_t>(value * factor); };
  x = scaled(x);
  y = scaled(y);
  width = scaled(width);
  height = scaled(height);
}

}  // namespace orvel
