#include "SkinArtist.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <vector>

namespace orvel::painter {
namespace {

// The palette: a dark slate body, a teal display and a teal "playing" look.
const QColor kBodyTop("#1d232c");
const QColor kBodyBottom("#11151b");
const QColor kDisplayTop("#0c2429");
const QColor kDisplayBottom("#0a1a1f");
const QColor kDisplayEdge("#2f4a50");
const QColor kAccent("#3ec9b6");
const QColor kInk("#eef2f6");
const QColor kDimInk("#5b6672");

struct Look {
  QColor top, bottom, edge, ink;
};

// [mode][state]: mode 0 idle, mode 1 playing; state normal, pressed, disabled.
const Look kLooks[2][3] = {
    {{"#39434f", "#2a323c", "#4a5867", kInk},
     {"#1f252d", "#262e37", kAccent, kAccent},
     {"#262b32", "#22272d", "#2f363e", kDimInk}},
    {{"#23927f", "#176b60", "#52dcc8", QColor("#ffffff")},
     {"#125149", "#176b60", "#8ff0e2", QColor("#ffffff")},
     {"#1f3b39", "#1b3331", "#2b4a47", QColor("#6f8f8a")}},
};

}  // namespace

QImage SkinArtist::panelBackground(QSize size) const {
  QImage image(size, QImage::Format_RGB32);
  QPainter p(&image);
  // The gradient runs over the whole screen, so the two panels meet without a seam.
  const int screenHeight = m_layout.screen.height();
  QLinearGradient body(0, 0, 0, screenHeight);
  body.setColorAt(0, kBodyTop);
  body.setColorAt(1, kBodyBottom);
  p.fillRect(image.rect(), body);
  return image;
}

QImage SkinArtist::mainPanel() const {
  const int s = m_layout.scale;
  QImage image(m_layout.mainPanel.size(), QImage::Format_RGB32);
  QPainter p(&image);
  p.drawImage(0, 0, panelBackground(m_layout.screen).copy(m_layout.mainPanel));
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF display = QRectF(m_layout.display).adjusted(0.5 * s, 0.5 * s, -0.5 * s, -0.5 * s);
  QLinearGradient glass(display.topLeft(), display.bottomLeft());
  glass.setColorAt(0, kDisplayTop);
  glass.setColorAt(1, kDisplayBottom);
  p.setPen(QPen(kDisplayEdge, s));
  p.setBrush(glass);
  p.drawRoundedRect(display, 6 * s, 6 * s);
  // A thin rule under the title line and the program's name in the display's corner.
  const QRect& d = m_layout.display;
  const int ruleY = d.bottom() - 16 * s;
  p.setPen(QPen(QColor(62, 201, 182, 60), s));
  p.drawLine(QPointF(d.left() + 8 * s, ruleY), QPointF(d.right() - 8 * s, ruleY));
  QFont font("DejaVu Sans");
  font.setPixelSize(8 * s);
  font.setBold(true);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 1.5 * s);
  p.setFont(font);
  p.setPen(QColor(62, 201, 182, 150));
  p.drawText(QRect(d.left() + 8 * s, ruleY + 2 * s, d.width() - 16 * s, 12 * s),
             Qt::AlignRight | Qt::AlignVCenter, "ORVEL RADIO");
  return image;
}

QImage SkinArtist::presetsPanel() const {
  QImage image = panelBackground(m_layout.screen).copy(m_layout.presetsPanel);
  QPainter p(&image);
  // A hairline parts the keys from the display.
  p.setPen(QPen(QColor(255, 255, 255, 18), m_layout.scale));
  p.drawLine(8 * m_layout.scale, 0, image.width() - 8 * m_layout.scale, 0);
  return image;
}

QImage SkinArtist::strip(const QImage& panel, const QRect& place, int modes, Icon idleIcon,
                         Icon playingIcon, int presetNumber) const {
  QImage image(place.width() * 3 * modes, place.height(), QImage::Format_RGB32);
  QPainter p(&image);
  const QImage under = panel.copy(place);
  for (int mode = 0; mode < modes; ++mode) {
    for (int state = 0; state < 3; ++state) {
      const QRect frame(place.width() * (3 * mode + state), 0, place.width(), place.height());
      p.drawImage(frame.topLeft(), under);
      paintButton(p, frame, mode, state, mode == 0 ? idleIcon : playingIcon, presetNumber);
    }
  }
  return image;
}

void SkinArtist::paintButton(QPainter& p, const QRect& r, int mode, int state, Icon icon,
                             int presetNumber) const {
  const int s = m_layout.scale;
  const Look& look = kLooks[mode][state];
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF body = QRectF(r).adjusted(1.5 * s, 1.5 * s, -1.5 * s, -1.5 * s);
  QLinearGradient fill(body.topLeft(), body.bottomLeft());
  fill.setColorAt(0, look.top);
  fill.setColorAt(1, look.bottom);
  p.setPen(QPen(look.edge, s));
  p.setBrush(fill);
  p.drawRoundedRect(body, 5 * s, 5 * s);
  if (state == 0) {
    // A soft light along the top edge of a raised key.
    p.setPen(QPen(QColor(255, 255, 255, 22), s));
    p.drawLine(QPointF(body.left() + 5 * s, body.top() + 1.5 * s),
               QPointF(body.right() - 5 * s, body.top() + 1.5 * s));
  }
  // A pressed key's content sinks by one pixel.
  const QRect content = state == 1 ? r.translated(0, s) : r;
  if (presetNumber > 0) {
    QFont font("DejaVu Sans");
    font.setPixelSize(m_layout.numberPixels);
    font.setBold(true);
    p.setFont(font);
    p.setPen(mode == 1 ? look.ink : (state == 2 ? kDimInk : kAccent));
    const QPoint at = content.topLeft() + m_layout.numberOrigin;
    p.drawText(QRect(at, QSize(12 * s, m_layout.numberPixels + 2 * s)),
               Qt::AlignLeft | Qt::AlignTop, QString::number(presetNumber));
  }
  paintIcon(p, content, icon, look.ink);
  p.restore();
}

void SkinArtist::paintIcon(QPainter& p, const QRect& r, Icon icon, const QColor& colour) const {
  if (icon == Icon::None) return;
  const double unit = std::min(r.width(), r.height()) / 10.0;
  const QPointF c = QRectF(r).center();
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  QPainterPath path;
  if (icon == Icon::Play) {
    path.moveTo(c.x() - 2.2 * unit, c.y() - 3 * unit);
    path.lineTo(c.x() + 3.2 * unit, c.y());
    path.lineTo(c.x() - 2.2 * unit, c.y() + 3 * unit);
    path.closeSubpath();
  } else if (icon == Icon::Stop) {
    path.addRoundedRect(QRectF(c.x() - 2.6 * unit, c.y() - 2.6 * unit, 5.2 * unit, 5.2 * unit),
                        0.6 * unit, 0.6 * unit);
  } else {
    // A speaker with a minus or a plus beside it.
    const double left = c.x() - 4 * unit;
    path.addRect(QRectF(left, c.y() - 1.2 * unit, 1.6 * unit, 2.4 * unit));
    path.moveTo(left + 1.6 * unit, c.y() - 1.2 * unit);
    path.lineTo(left + 3.6 * unit, c.y() - 3 * unit);
    path.lineTo(left + 3.6 * unit, c.y() + 3 * unit);
    path.lineTo(left + 1.6 * unit, c.y() + 1.2 * unit);
    path.closeSubpath();
    const double signX = c.x() + 2.2 * unit;
    path.addRect(QRectF(signX - 1.8 * unit, c.y() - 0.45 * unit, 3.6 * unit, 0.9 * unit));
    if (icon == Icon::VolumeUp) {
      path.addRect(QRectF(signX - 0.45 * unit, c.y() - 1.8 * unit, 0.9 * unit, 3.6 * unit));
    }
  }
  p.setRenderHint(QPainter::Antialiasing);
  path.setFillRule(Qt::WindingFill);  // the two bars of the plus overlap
  p.drawPath(path.simplified());
}

bool SkinArtist::paintAll(const QString& folder) const {
  QImage main = mainPanel();
  QImage presets = presetsPanel();
  struct Key {
    QImage* panel;
    QRect place;
    QString file;
    QImage strip;
  };
  std::vector<Key> keys;
  for (int i = 0; i < 9; ++i) {
    keys.push_back({&presets, m_layout.presets[i], QString("preset%1.png").arg(i + 1),
                    strip(presets, m_layout.presets[i], 2, Icon::None, Icon::None, i + 1)});
  }
  keys.push_back({&main, m_layout.playButton, "play.png",
                  strip(main, m_layout.playButton, 2, Icon::Play, Icon::Stop, 0)});
  keys.push_back({&main, m_layout.volumeUpButton, "volumeup.png",
                  strip(main, m_layout.volumeUpButton, 1, Icon::VolumeUp, Icon::None, 0)});
  keys.push_back({&main, m_layout.volumeDownButton, "volumedown.png",
                  strip(main, m_layout.volumeDownButton, 1, Icon::VolumeDown, Icon::None, 0)});
  // The panels also show every key in its idle look: a key that has not been given a mode yet
  // shows the panel beneath it, and looks the same.
  for (const Key& key : keys) {
    QPainter p(key.panel);
    p.drawImage(key.place.topLeft(), key.strip, QRect(QPoint(0, 0), key.place.size()));
  }
  for (const Key& key : keys) {
    if (!key.strip.save(folder + "/" + key.file)) return false;
  }
  return main.save(folder + "/main.png") && presets.save(folder + "/presets.png");
}

}  // namespace orvel::painter
