#pragma once
// The product logo of the about box, drawn rather than loaded so that it is sharp at either
// scale: the small one on 240-pixel screens, twice its size on high-resolution screens.
// UI thread only.

#include <QPixmap>

namespace orvel {

class AboutLogo {
 public:
  static constexpr int kWidth = 150;  // times the scale factor
  static constexpr int kHeight = 44;

  static QPixmap paint(int scale);
};

}  // namespace orvel
