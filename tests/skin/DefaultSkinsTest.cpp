// The four skins that ship with the program: complete, consistent with their screens, and
// drawn. Each skin's player screen is painted offscreen into skin-screenshots/ of the build
// folder, for people to look at.
#include <gtest/gtest.h>

#include <QDir>
#include <QFontInfo>

#include "SkinFixture.h"
#include "platform/FilePath.h"
#include "skin/ImageDecoder.h"
#include "skin/SkinButton.h"
#include "skin/SkinButtonElement.h"
#include "skin/SkinDescription.h"
#include "skin/SkinFont.h"
#include "skin/SkinPanel.h"
#include "skin/SkinPanelElement.h"
#include "skin/SkinTextControl.h"
#include "skin/SkinTextElement.h"

namespace orvel {
namespace {

struct ShippedSkin {
  const char* folder;
  QSize screen;
};

const ShippedSkin kSkins[] = {{"ov_default", {240, 320}},
                              {"ov_default_land", {320, 240}},
                              {"ov_default_vga", {480, 640}},
                              {"ov_default_vga_land", {640, 480}}};

class DefaultSkinsTest : public ::testing::TestWithParam<ShippedSkin> {
 protected:
  QApplication& app = test::skinTestApplication();

  void SetUp() override {
    const WString path = fromUtf8(std::string(ORVEL_SOURCE_DIR "/resources/Skins/") +
                                  GetParam().folder + "/default.rs");
    WString error;
    ASSERT_TRUE(description.Parse(path, error)) << toUtf8(error);
    description.setScreenWidth(GetParam().screen.width());
  }
  QRect panelRect(int index) {
    auto* panel = dynamic_cast<SkinPanelElement*>(description.ElementForDrawing(index));
    return QRect(panel->x, panel->y, panel->width, panel->height);
  }

  ImageDecoder decoder;
  SkinDescription description{&decoder};
};

TEST_P(DefaultSkinsTest, PanelsTileTheScreenAndHoldTheirControls) {
  EXPECT_EQ(QSize(description.info()->width, description.info()->height), GetParam().screen);
  const QRect presets = panelRect(SkinDescription::kPresetsPanel);
  const QRect main = panelRect(SkinDescription::kMainPanel);
  EXPECT_FALSE(presets.intersects(main));
  EXPECT_EQ(presets.united(main), QRect(QPoint(0, 0), GetParam().screen));
  for (int index = 0; index < SkinDescription::kElementCount; ++index) {
    auto* element = dynamic_cast<SkinImageElement*>(description.ElementForDrawing(index));
    if (element == nullptr) continue;
    const QRect panel = index < SkinDescription::kMainPanel ? presets : main;
    EXPECT_TRUE(QRect(QPoint(0, 0), panel.size()).contains(element->rect()))
        << SkinDescription::sectionName(index);
    if (auto* button = dynamic_cast<SkinButtonElement*>(element)) {
      const int frames =
          index == SkinDescription::kVolumeUpBtn || index == SkinDescription::kVolumeDownBtn ? 3
                                                                                             : 6;
      EXPECT_EQ(button->image.size(), QSize(frames * element->width(), element->height()))
          << SkinDescription::sectionName(index);
    }
  }
}

TEST_P(DefaultSkinsTest, TheNamedFontsExistAndTheLooksDiffer) {
  auto* live =
      dynamic_cast<SkinTextElement*>(description.ElementForLayout(SkinDescription::kLiveText));
  const QFontInfo font(SkinFont::make(live->fontName, live->fontSize, false));
  EXPECT_EQ(font.family(), QString::fromStdU16String(live->fontName));

  auto* preset =
      dynamic_cast<SkinButtonElement*>(description.ElementForDrawing(SkinDescription::kPreset1Btn));
  const int w = preset->width();
  const QImage normal = preset->image.copy(0, 0, w, preset->height());
  for (int frame : {1, 2, 3, 4}) {
    EXPECT_NE(preset->image.copy(frame * w, 0, w, preset->height()), normal) << frame;
  }
}

// The player screen with a playing preset, a pressed key and all three text lines.
TEST_P(DefaultSkinsTest, PaintsThePlayerScreen) {
  QWidget screen;
  screen.resize(GetParam().screen);
  auto* presets = new SkinPanel;
  ASSERT_TRUE(presets->setup(&screen, description, SkinDescription::kPresetsPanel, true));
  const char16_t* names[] = {u"Radio Swiss Jazz", u"FIP",   u"KEXP", u"BBC Radio 3",
                             u"SomaFM",           u"NTS 1", u"",     u"Classic FM",
                             u"Radio Paradise"};
  std::vector<SkinButton*> keys;
  for (int i = 0; i < 9; ++i) {
    keys.push_back(new SkinButton(nullptr));
    ASSERT_TRUE(keys[i]->setup(presets, presets->backgroundPicture(), description,
                               SkinDescription::kPreset1Btn + i, true, true));
    keys[i]->setCaption(names[i]);
  }
  keys[2]->setMode(1);
  keys[4]->setFrame(keys[4]->frameFor(SkinButton::kPressed));
  auto* main = new SkinPanel;
  ASSERT_TRUE(main->setup(&screen, description, SkinDescription::kMainPanel, true));
  for (int index : {SkinDescription::kPlayBtn, SkinDescription::kVolumeUpBtn,
                    SkinDescription::kVolumeDownBtn}) {
    auto* button = new SkinButton(nullptr);
    ASSERT_TRUE(button->setup(main, main->backgroundPicture(), description, index, true, true));
    if (index == SkinDescription::kPlayBtn) button->setMode(1);
  }
  const char16_t* lines[] = {u"Playback started", u"KEXP 90.3 FM Seattle",
                             u"Khruangbin - Maria También (Con Todo El Mundo), 2018"};
  for (int i = 0; i < 3; ++i) {
    auto* text = new SkinTextControl;
    ASSERT_TRUE(text->setup(main, main->backgroundPicture(), description,
                            SkinDescription::kStateText + i, true, true));
    text->setLineCount(1);
    text->setLine(lines[i], 0);
  }
  const QImage shot = screen.grab().toImage();
  const QString folder = QStringLiteral(ORVEL_BIN_DIR "/../skin-screenshots");
  QDir().mkpath(folder);
  EXPECT_TRUE(shot.save(folder + "/" + GetParam().folder + ".png"));

  // The playing preset and the pressed one look different from an idle one (sampled in the
  // empty lower part of each key, below the caption).
  auto body = [&](int key) {
    const QRect r = keys[key]->geometry().translated(presets->pos());
    return shot.pixelColor(r.center().x(), r.bottom() - r.height() / 8);
  };
  EXPECT_NE(body(2), body(0));
  EXPECT_NE(body(4), body(0));
  EXPECT_NE(body(0), shot.pixelColor(presets->pos() + QPoint(1, presets->height() - 2)));
}

INSTANTIATE_TEST_SUITE_P(Shipped, DefaultSkinsTest, ::testing::ValuesIn(kSkins),
                         [](const auto& info) { return std::string(info.param.folder); });

}  // namespace
}  // namespace orvel
