#include "skin/SkinImageElement.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "skin/ImageDecoder.h"
#include "skin/SkinImageScaler.h"

namespace orvel {
namespace {

// A skin file may hold any 32-bit coordinate: a product beyond the field's range stops at its
// end instead of wrapping round onto the screen.
template <typename T>
T scaledCoordinate(int32_t value, float factor) {
  const double product = std::trunc(static_cast<double>(value) * factor);
  return static_cast<T>(std::clamp(product, static_cast<double>(std::numeric_limits<T>::min()),
                                   static_cast<double>(std::numeric_limits<T>::max())));
}

}  // namespace

bool SkinImageElement::loadImage(ImageDecoder& decoder) {
  image = SkinImageScaler::load(decoder, imagePath, scale(), scaleDiffers());
  return !image.isNull();
}

void SkinImageElement::applyScale(float factor) {
  if (!beginScale(factor)) return;
  x = scaledCoordinate<uint16_t>(x, factor);
  y = scaledCoordinate<uint16_t>(y, factor);
  left = scaledCoordinate<int32_t>(left, factor);
  top = scaledCoordinate<int32_t>(top, factor);
  right = scaledCoordinate<int32_t>(right, factor);
  bottom = scaledCoordinate<int32_t>(bottom, factor);
}

}  // namespace orvel
