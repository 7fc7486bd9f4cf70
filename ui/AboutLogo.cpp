#include "ui/AboutLogo.h"

#include <QPainter>
#include <QPainterPath>

namespace orvel {

namespace {
// The colours of the program's icon.
const QColor kBody{0x1f, 0x6f, 0x8b};
const QColor kDial{0xff, 0xb3, 0x3b};
const QColor kLight{0xe8, 0xf1, 0xf5};
}  // namespace

QPixmap AboutLogo::paint(int scale) {
  QPixmap logo(kWidth * scale, kHeight * scale);
  logo.fill(Qt::transparent);
  QPainter painter(&logo);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(scale, scale);

  painter.setPen(Qt::NoPen);
  painter.setBrush(kBody);
  painter.drawRoundedRect(QRectF(0, 0, kWidth, kHeight), 8, 8);

  // A mast sending three waves.
  painter.setBrush(kDial);
  painter.drawEllipse(QPointF(22, 18), 4, 4);
  painter.drawPolygon(QPolygonF({QPointF(22, 20), QPointF(16, 36), QPointF(28, 36)}));
  QPen wave(kLight, 2.2, Qt::SolidLine, Qt::RoundCap);
  painter.setPen(wave);
  painter.setBrush(Qt::NoBrush);
  for (int i = 1; i <= 2; ++i) {
    const QRectF arc(22 - 6 * i - 2, 18 - 6 * i - 2, 12 * i + 4, 12 * i + 4);
    painter.drawArc(arc, -50 * 16, 100 * 16);
    painter.drawArc(arc, 130 * 16, 100 * 16);
  }

  QFont name(QStringLiteral("DejaVu Sans"));
  name.setPixelSize(20);
  name.setBold(true);
  painter.setFont(name);
  painter.setPen(kLight);
  painter.drawText(QRectF(44, 4, 100, 24), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("ORVEL"));
  QFont kind = name;
  kind.setPixelSize(13);
  kind.setBold(false);
  kind.setLetterSpacing(QFont::AbsoluteSpacing, 3);
  painter.setFont(kind);
  painter.setPen(kDial);
  painter.drawText(QRectF(45, 25, 100, 16), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("RADIO"));
  return logo;
}

}  // namespace orvel
