#include "SkinFixture.h"

#include <QPainter>
#include <filesystem>

#include "tests/support/TempHome.h"

namespace orvel::test {

QApplication& skinTestApplication() {
  static int argc = 1;
  static char name[] = "skin_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

std::string crlf(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string section(const std::string& name, int designWidth, int designHeight) {
  auto place = [](int x, int y, int w, int h) {
    return "X=" + std::to_string(x) + "\r\nY=" + std::to_string(y) +
           "\r\nWidth=" + std::to_string(w) + "\r\nHeight=" + std::to_string(h) + "\r\n";
  };
  std::string body;
  if (name == "MainPanel") {
    body = place(0, 0, 240, 100) + "File=main.png\r\n";
  } else if (name == "PresetsPanel") {
    body = place(0, 100, 240, 220) + "File=presets.png\r\n";
  } else if (name.ends_with("Btn")) {
    body = "File=strip.png\r\n" + place(10, 10, 40, 20);
  } else if (name.ends_with("Text")) {
    body = "File=\r\n" + place(20, 40, 100, 16) +
           "TextColorR=255\r\nTextColorG=128\r\nTextColorB=0\r\nFontName=DejaVu Sans\r\n"
           "FontSize=12\r\nScrolling=1\r\n";
  } else {
    body = "Width=" + std::to_string(designWidth) + "\r\nHeight=" + std::to_string(designHeight) +
           "\r\nName=Test\r\nSubname=Sub\r\nAuthor=Me\r\nComments=None\r\nWeb=\r\n";
  }
  return "[" + name + "]\r\n" + body + "\r\n";
}

std::string completeDescription(int designWidth, int designHeight) {
  std::string text = section("PresetsPanel");
  for (int i = 1; i <= 9; ++i) text += section("Preset" + std::to_string(i) + "Btn");
  for (const char* name : {"MainPanel", "PlayBtn", "VolumeUpBtn", "VolumeDownBtn", "StateText",
                           "StaticText", "LiveText"}) {
    text += section(name);
  }
  return text + section("Info", designWidth, designHeight);
}

QColor stripColour(int frame) { return QColor(100 + 20 * frame, 0, 200 - 20 * frame); }

std::string writeSkin(const std::string& folder, const std::string& description, int frames) {
  std::filesystem::create_directories(folder);
  writeFile(folder + "/default.rs", description);
  QImage main(240, 100, QImage::Format_RGB32);
  main.fill(kMainPanelColour);
  main.save(QString::fromStdString(folder + "/main.png"));
  QImage presets(240, 220, QImage::Format_RGB32);
  presets.fill(kPresetsPanelColour);
  presets.save(QString::fromStdString(folder + "/presets.png"));
  QImage strip(40 * frames, 20, QImage::Format_RGB32);
  QPainter painter(&strip);
  for (int i = 0; i < frames; ++i) painter.fillRect(40 * i, 0, 40, 20, stripColour(i));
  painter.end();
  strip.save(QString::fromStdString(folder + "/strip.png"));
  return folder + "/default.rs";
}

}  // namespace orvel::test
