#include "skin/SkinImageScaler.h"

#include "skin/ImageDecoder.h"

namespace orvel {

QImage SkinImageScaler::load(ImageDecoder& decoder, const WString& path, float scale,
                             bool stretch) {
  if (path.empty()) return {};
  QImage image = decoder.Decode(path);
  if (image.isNull() || !stretch) return image;
  const int width = static_cast<int>(image.width() * scale);
  const int height = static_cast<int>(image.height() * scale);
  if (width <= 0 || height <= 0) return {};
  return image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace orvel
