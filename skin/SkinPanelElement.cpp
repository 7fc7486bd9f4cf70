#include "skin/SkinPanelElement.h"

#include <algorithm>
#include <cmath>

#include "skin/SkinImageScaler.h"

namespace orvel {
namespace {

// A product beyond 16 bits stops at 65535 instead of wrapping round onto the screen.
uint16_t scaledCoordinate(uint16_t value, float factor) {
  return static_cast<uint16_t>(std::min(std::trunc(static_cast<double>(value) * factor), 65535.0));
}

}  // namespace

bool SkinPanelElement::loadImage(ImageDecoder& decoder) {
  image = SkinImageScaler::load(decoder, imagePath, scale(), scaleDiffers());
  return !image.isNull();
}

void SkinPanelElement::applyScale(float factor) {
  if (!beginScale(factor)) return;
  x = scaledCoordinate(x, factor);
  y = scaledCoordinate(y, factor);
  width = scaledCoordinate(width, factor);
  height = scaledCoordinate(height, factor);
}

}  // namespace orvel
