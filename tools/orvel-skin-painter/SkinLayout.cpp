#include "SkinLayout.h"

#include <QColor>

namespace orvel::painter {
namespace {

constexpr const char* kFontName = "DejaVu Sans";
constexpr const char* kCaptionColour = "#eef2f6";

QRect scaled(const QRect& r, int s) {
  return QRect(r.x() * s, r.y() * s, r.width() * s, r.height() * s);
}

// Three columns and three rows of buttons of equal size inside a panel.
std::array<QRect, 9> grid(QSize panel, int margin, int gap) {
  const int w = (panel.width() - 2 * margin - 2 * gap) / 3;
  const int h = (panel.height() - 2 * margin - 2 * gap) / 3;
  std::array<QRect, 9> rects;
  for (int i = 0; i < 9; ++i) {
    rects[i] = QRect(margin + (i % 3) * (w + gap), margin + (i / 3) * (h + gap), w, h);
  }
  return rects;
}

void scaleAll(SkinLayout& l, int s) {
  l.scale = s;
  l.screen *= s;
  for (QRect* r : {&l.mainPanel, &l.presetsPanel, &l.display, &l.playButton, &l.volumeDownButton,
                   &l.volumeUpButton, &l.captionRect}) {
    *r = scaled(*r, s);
  }
  for (QRect& r : l.presets) r = scaled(r, s);
  for (TextLine& t : l.texts) {
    t.rect = scaled(t.rect, s);
    t.fontPixels *= s;
  }
  l.numberOrigin *= s;
  l.captionPixels *= s;
  l.numberPixels *= s;
}

}  // namespace

SkinLayout SkinLayout::portrait(int scale) {
  SkinLayout l;
  l.folder = scale == 1 ? "ov_default" : "ov_default_vga";
  l.subname = scale == 1 ? "Portrait" : "VGA portrait";
  l.screen = QSize(240, 320);
  l.mainPanel = QRect(0, 0, 240, 136);
  l.presetsPanel = QRect(0, 136, 240, 184);
  l.display = QRect(6, 6, 228, 88);
  l.volumeDownButton = QRect(10, 101, 58, 30);
  l.playButton = QRect(84, 99, 72, 34);
  l.volumeUpButton = QRect(172, 101, 58, 30);
  l.presets = grid(l.presetsPanel.size(), 6, 6);
  l.captionRect = QRect(7, 20, l.presets[0].width() - 12, l.presets[0].height() - 24);
  l.numberOrigin = QPoint(7, 4);
  l.captionPixels = 10;
  l.numberPixels = 9;
  l.texts = {TextLine{"StateText", QRect(14, 12, 212, 15), 11, "#4fd3c1", false},
             TextLine{"StaticText", QRect(14, 31, 212, 20), 15, "#f4f7fa", true},
             TextLine{"LiveText", QRect(14, 55, 212, 17), 12, "#a9b8c7", true}};
  if (scale != 1) scaleAll(l, scale);
  return l;
}

SkinLayout SkinLayout::landscape(int scale) {
  SkinLayout l;
  l.folder = scale == 1 ? "ov_default_land" : "ov_default_vga_land";
  l.subname = scale == 1 ? "Landscape" : "VGA landscape";
  l.screen = QSize(320, 240);
  l.mainPanel = QRect(0, 0, 320, 100);
  l.presetsPanel = QRect(0, 100, 320, 140);
  l.display = QRect(6, 6, 210, 88);
  l.playButton = QRect(224, 8, 90, 40);
  l.volumeDownButton = QRect(224, 56, 42, 36);
  l.volumeUpButton = QRect(272, 56, 42, 36);
  l.presets = grid(l.presetsPanel.size(), 6, 6);
  l.captionRect = QRect(22, 11, l.presets[0].width() - 28, l.presets[0].height() - 14);
  l.numberOrigin = QPoint(7, 12);
  l.captionPixels = 11;
  l.numberPixels = 10;
  l.texts = {TextLine{"StateText", QRect(14, 12, 194, 15), 11, "#4fd3c1", false},
             TextLine{"StaticText", QRect(14, 31, 194, 20), 15, "#f4f7fa", true},
             TextLine{"LiveText", QRect(14, 55, 194, 17), 12, "#a9b8c7", true}};
  if (scale != 1) scaleAll(l, scale);
  return l;
}

QByteArray SkinLayout::description() const {
  QByteArray out;
  auto line = [&out](const QString& text) { out += text.toUtf8() + "\r\n"; };
  auto place = [&line](const QRect& r) {
    line(QString("X=%1").arg(r.x()));
    line(QString("Y=%1").arg(r.y()));
    line(QString("Width=%1").arg(r.width()));
    line(QString("Height=%1").arg(r.height()));
  };
  auto colour = [&line](const char* hex) {
    const QColor c(hex);
    line(QString("TextColorR=%1").arg(c.red()));
    line(QString("TextColorG=%1").arg(c.green()));
    line(QString("TextColorB=%1").arg(c.blue()));
  };
  auto panel = [&](const char* name, const QRect& r, const char* file) {
    line(QString("[%1]").arg(name));
    place(r);
    line(QString("File=%1").arg(file));
    line("");
  };
  panel("PresetsPanel", presetsPanel, "presets.png");
  for (int i = 0; i < 9; ++i) {
    line(QString("[Preset%1Btn]").arg(i + 1));
    line(QString("File=preset%1.png").arg(i + 1));
    place(presets[i]);
    colour(kCaptionColour);
    line(QString("FontName=%1").arg(kFontName));
    line(QString("FontSize=%1").arg(captionPixels));
    line(QString("TextX=%1").arg(captionRect.x()));
    line(QString("TextY=%1").arg(captionRect.y()));
    line(QString("TextWidth=%1").arg(captionRect.width()));
    line(QString("TextHeight=%1").arg(captionRect.height()));
    line("");
  }
  panel("MainPanel", mainPanel, "main.png");
  const std::pair<const char*, QRect> buttons[] = {{"PlayBtn", playButton},
                                                   {"VolumeUpBtn", volumeUpButton},
                                                   {"VolumeDownBtn", volumeDownButton}};
  for (const auto& [name, rect] : buttons) {
    line(QString("[%1]").arg(name));
    line(QString("File=%1.png").arg(QString(name).toLower().chopped(3)));
    place(rect);
    line("");
  }
  for (const TextLine& text : texts) {
    line(QString("[%1]").arg(text.section));
    line("File=");  // text lines are drawn over the panel; they need no image
    place(text.rect);
    colour(text.colour);
    line(QString("FontName=%1").arg(kFontName));
    line(QString("FontSize=%1").arg(text.fontPixels));
    line(QString("Scrolling=%1").arg(text.scrolling ? 1 : 0));
    line("");
  }
  line("[Info]");
  line(QString("Width=%1").arg(screen.width()));
  line(QString("Height=%1").arg(screen.height()));
  line("Name=Orvel Default");
  line(QString("Subname=%1").arg(subname));
  line("Author=Orvel Radio");
  line("Comments=A calm dark radio with a teal display and nine preset keys.");
  line("Web=");
  return out;
}

}  // namespace orvel::painter
