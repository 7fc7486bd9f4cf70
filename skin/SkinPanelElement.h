#pragma once
// The element record of a panel: its place in the main window and its background image.

#include <QImage>
#include <cstdint>

#include "skin/SkinElement.h"

namespace orvel {

class SkinPanelElement : public SkinElement {
 public:
  bool loadImage(ImageDecoder& decoder) override;
  void applyScale(float scale) override;

  uint16_t x = 0, y = 0, width = 0, height = 0;
  QImage image;  // the background; null when there is none
};

}  // namespace orvel
