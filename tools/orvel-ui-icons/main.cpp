// orvel-ui-icons: paints the icon strips of the radio list.
//
//   orvel-ui-icons [FOLDER]
//
// FOLDER defaults to resources/ui of the source tree. Writes radio-icons-1.png (13-pixel icons)
// and radio-icons-2.png (26-pixel icons), ten icons side by side: closed category, open
// category, radio, selected stream, stream, each followed by its look on a selected (dark
// blue) row. Vector drawing only, so the output depends on this program alone.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

constexpr int kIconWidth = 13;
constexpr int kIconCount = 10;

struct Ink {
  QColor line;
  QColor fill;
  QColor accent;
};

void folder(QPainter& p, bool open, const Ink& ink) {
  p.setPen(QPen(ink.line, 0.8));
  p.setBrush(ink.fill);
  p.drawRect(QRectF(1, 3.5, 10.5, 7.5));
  p.drawRect(QRectF(1, 2, 4.5, 1.5));
  if (open) {
    p.setBrush(ink.accent);
    QPainterPath flap;
    flap.moveTo(1, 11);
    flap.lineTo(3.5, 6);
    flap.lineTo(12.5, 6);
    flap.lineTo(11.5, 11);
    flap.closeSubpath();
    p.drawPath(flap);
  }
}

void radioSet(QPainter& p, const Ink& ink) {
  p.setPen(QPen(ink.line, 0.8));
  p.drawLine(QPointF(3, 4.5), QPointF(10, 1));
  p.setBrush(ink.fill);
  p.drawRoundedRect(QRectF(1, 4.5, 11, 7), 1.2, 1.2);
  p.setBrush(ink.accent);
  p.drawEllipse(QPointF(4.5, 8), 2, 2);
  p.drawLine(QPointF(8, 7), QPointF(10.5, 7));
  p.drawLine(QPointF(8, 9), QPointF(10.5, 9));
}

void stream(QPainter& p, bool chosen, const Ink& ink) {
  p.setPen(QPen(ink.line, 0.9));
  p.setBrush(chosen ? ink.accent : ink.fill);
  p.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
  if (chosen) {
    p.setPen(QPen(ink.fill, 1.3));
    p.drawLine(QPointF(4.3, 6.7), QPointF(6, 8.5));
    p.drawLine(QPointF(6, 8.5), QPointF(9, 4.5));
  }
}

QImage strip(int k) {
  const int size = kIconWidth * k;
  QImage image(size * kIconCount, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const Ink normal{QColor(40, 40, 60), QColor(250, 214, 90), QColor(16, 85, 181)};
  const Ink onSelection{QColor(255, 255, 255), QColor(255, 232, 150), QColor(120, 180, 255)};
  for (int icon = 0; icon < kIconCount; ++icon) {
    const Ink& ink = icon % 2 == 0 ? normal : onSelection;
    p.save();
    p.translate(icon * size, 0);
    p.scale(k, k);
    switch (icon / 2) {
      case 0: folder(p, false, ink); break;
      case 1: folder(p, true, ink); break;
      case 2: radioSet(p, ink); break;
      case 3: stream(p, true, ink); break;
      default: stream(p, false, ink); break;
    }
    p.restore();
  }
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString folder =
      argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(ORVEL_UI_RESOURCES_DIR);
  for (int k : {1, 2}) {
    const QString path = folder + QStringLiteral("/radio-icons-%1.png").arg(k);
    if (!strip(k).save(path, "PNG")) {
      std::fprintf(stderr, "orvel-ui-icons: cannot write %s\n", qPrintable(path));
      return 1;
    }
    std::printf("%s\n", qPrintable(path));
  }
  return 0;
}
