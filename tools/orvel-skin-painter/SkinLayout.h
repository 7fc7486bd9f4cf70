#pragma once
// Where everything lies in one default skin: the two panels, the nine preset buttons, the
// play and volume buttons and the three text lines, for portrait or landscape, drawn at one
// or two times the small screen's size. Also writes the skin's description file.

#include <QRect>
#include <QString>
#include <array>

namespace orvel::painter {

struct TextLine {
  const char* section;
  QRect rect;  // in the main panel
  int fontPixels;
  const char* colour;
  bool scrolling;
};

struct SkinLayout {
  QString folder;  // "ov_default", ...
  QString subname;
  int scale = 1;  // 2 for the VGA skins
  QSize screen;
  QRect mainPanel;                                     // in the window
  QRect presetsPanel;                                  // in the window
  QRect display;                                       // the text window, in the main panel
  QRect playButton, volumeDownButton, volumeUpButton;  // in the main panel
  std::array<QRect, 9> presets;                        // in the presets panel
  QRect captionRect;                                   // in a preset button
  QPoint numberOrigin;  // where the preset's number stands in a preset button
  int captionPixels = 0;
  int numberPixels = 0;
  std::array<TextLine, 3> texts;

  static SkinLayout portrait(int scale);
  static SkinLayout landscape(int scale);

  // The description file text (CR LF lines, sections separated by an empty line).
  QByteArray description() const;
};

}  // namespace orvel::painter
