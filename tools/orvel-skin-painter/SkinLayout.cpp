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

namespace {

// The lines of a description file, each ended by CR LF.
class DescriptionWriter {
 public:
  void line(const QString& text) { m_out += text.toUtf8() + "\r\n"; }
  void value(const char* key, int number) { line(QString("%1=%2").arg(key).arg(number)); }
  void place(const QRect& r) {
    value("X", r.x());
    value("Y", r.y());
    value("Width", r.width());
    value("Height", r.height());
  }
  void colour(const char* hex) {
    const QColor c(hex);
    value("TextColorR", c.red());
    value("TextColorG", c.green());
    value("TextColorB", c.blue());
  }
  void font(int pixels) {
    line(QString("FontName=%1").arg(kFontName));
    value("FontSize", pixels);
  }
  const QByteArray& text() const { return m_out; }

 private:
  QByteArray m_out;
};

}  // namespace

QByteArray SkinLayout::description() const {
  DescriptionWriter w;
  w.line("[PresetsPanel]");
  w.place(presetsPanel);
  w.line("File=presets.png\r\n");
  for (int i = 0; i < 9; ++i) {
    w.line(QString("[Preset%1Btn]").arg(i + 1));
    w.line(QString("File=preset%1.png").arg(i + 1));
    w.place(presets[i]);
    w.colour(kCaptionColour);
    w.font(captionPixels);
    w.value("TextX", captionRect.x());
    w.value("TextY", captionRect.y());
    w.value("TextWidth", captionRect.width());
    w.value("TextHeight", captionRect.height());
    w.line("");
  }
  w.line("[MainPanel]");
  w.place(mainPanel);
  w.line("File=main.png\r\n");
  const std::pair<const char*, QRect> buttons[] = {{"PlayBtn", playButton},
                                                   {"VolumeUpBtn", volumeUpButton},
                                                   {"VolumeDownBtn", volumeDownButton}};
  for (const auto& [name, rect] : buttons) {
    w.line(QString("[%1]").arg(name));
    w.line(QString("File=%1.png").arg(QString(name).toLower().chopped(3)));
    w.place(rect);
    w.line("");
  }
  for (const TextLine& text : texts) {
    w.line(QString("[%1]").arg(text.section));
    w.line("File=");  // text lines are drawn over the panel; they need no image
    w.place(text.rect);
    w.colour(text.colour);
    w.font(text.fontPixels);
    w.value("Scrolling", text.scrolling ? 1 : 0);
    w.line("");
  }
  w.line("[Info]");
  w.value("Width", screen.width());
  w.value("Height", screen.height());
  w.line("Name=Orvel Default");
  w.line(QString("Subname=%1").arg(subname));
  w.line("Author=Orvel Radio");
  w.line("Comments=A calm dark radio with a teal display and nine preset keys.");
  w.line("Web=");
  return w.text();
}

}  // namespace orvel::painter
