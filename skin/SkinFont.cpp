#include "skin/SkinFont.h"

namespace orvel {

QFont SkinFont::make(const WString& faceName, int pixelSize, bool bold) {
  QFont font(QString::fromStdU16String(faceName.substr(0, kMaxFaceChars)));
  // A size of 0 or less leaves the face's default height.
  if (pixelSize > 0) font.setPixelSize(pixelSize);
  font.setWeight(bold ? QFont::Bold : QFont::Normal);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

}  // namespace orvel
