#pragma once
// Paints the images of one default skin: the two panel backgrounds and the frame strips of
// the buttons (normal, pressed and disabled, each in the idle and the "playing" look). Every
// frame carries the panel background at its corners, since frames are copied as they are.

#include <QImage>
#include <QString>

#include "SkinLayout.h"

namespace orvel::painter {

class SkinArtist {
 public:
  explicit SkinArtist(const SkinLayout& layout) : m_layout(layout) {}

  // Writes every image of the skin into folder; false on the first failure.
  bool paintAll(const QString& folder) const;

 private:
  enum class Icon { None, Play, Stop, VolumeDown, VolumeUp };

  QImage panelBackground(QSize size) const;
  QImage mainPanel() const;
  QImage presetsPanel() const;
  // Three frames (normal, pressed, disabled) per mode; mode 1 is the "playing" look.
  QImage strip(const QImage& panel, const QRect& place, int modes, Icon idleIcon, Icon playingIcon,
               int presetNumber) const;
  void paintButton(QPainter& p, const QRect& r, int mode, int state, Icon icon,
                   int presetNumber) const;
  void paintIcon(QPainter& p, const QRect& r, Icon icon, const QColor& colour) const;

  const SkinLayout& m_layout;
};

}  // namespace orvel::painter
