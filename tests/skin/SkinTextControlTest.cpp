// Text lines: line handling, the marquee's ticks, taps and drags.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QThread>

#include "SkinFixture.h"
#include "platform/FilePath.h"
#include "skin/ImageDecoder.h"
#include "skin/SkinDescription.h"
#include "skin/SkinFont.h"
#include "skin/SkinMessageEvent.h"
#include "skin/SkinPanel.h"
#include "skin/SkinTextControl.h"
#include "tests/support/TempHome.h"

namespace orvel {
namespace {

const WString kLongLine = u"A station name that is far too long for its line";

// The width that the control measures for a line of the fixture's text font.
int measured(const WString& text) {
  return QFontMetrics(SkinFont::make(u"DejaVu Sans", 12, false))
             .horizontalAdvance(QString::fromStdU16String(text)) +
         1;
}

class SkinTextControlTest : public ::testing::Test {
 protected:
  QApplication& app = test::skinTestApplication();

  // The live text is widthPixels wide; scrolling as given.
  void setUpText(int widthPixels, bool scrolling) {
    std::string text = test::completeDescription();
    const std::string place = "[LiveText]\r\nFile=\r\nX=20\r\nY=40\r\nWidth=100";
    text.replace(text.find(place), place.size(),
                 "[LiveText]\r\nFile=\r\nX=20\r\nY=40\r\nWidth=" + std::to_string(widthPixels));
    if (!scrolling) {
      const std::string on = "FontSize=12\r\nScrolling=1\r\n\r\n[Info]";
      text.replace(text.find(on), on.size(), "FontSize=12\r\nScrolling=0\r\n\r\n[Info]");
    }
    WString error;
    ASSERT_TRUE(description.Parse(fromFsPath(test::writeSkin(home.path("skin"), text)), error));
    ASSERT_TRUE(panel->setup(&window, description, SkinDescription::kMainPanel, true));
    ASSERT_TRUE(control->setup(panel.get(), panel->backgroundPicture(), description,
                               SkinDescription::kLiveText, true, true));
  }
  // Runs n marquee ticks; the offsets after each.
  std::vector<int> ticks(int n) {
    std::vector<int> offsets;
    for (int i = 0; i < n; ++i) {
      control->timer(SkinTextControl::kMarqueeTimerId);
      offsets.push_back(control->scrollOffset());
    }
    return offsets;
  }

  test::TempHome home;
  ImageDecoder decoder;
  SkinDescription description{&decoder};
  QWidget window;
  std::unique_ptr<SkinPanel> panel = std::make_unique<SkinPanel>();
  std::unique_ptr<SkinTextControl> control = std::make_unique<SkinTextControl>();
};

TEST_F(SkinTextControlTest, ALineThirtyPixelsTooWideRestsScrollsRestsAndReturns) {
  setUpText(measured(kLongLine) - 30, true);
  ASSERT_TRUE(control->setLineCount(1));
  control->setLine(kLongLine, 0);
  EXPECT_TRUE(control->marqueeRunning());
  const std::vector<int> offsets = ticks(41);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(offsets[i], 0) << "rest at the start, tick " << i + 1;
  for (int i = 9; i < 19; ++i) EXPECT_EQ(offsets[i], -3 * (i - 8)) << "tick " << i + 1;
  for (int i = 19; i < 29; ++i) EXPECT_EQ(offsets[i], -30) << "rest at the end, tick " << i + 1;
  for (int i = 29; i < 39; ++i) EXPECT_EQ(offsets[i], -30 + 3 * (i - 28)) << "tick " << i + 1;
  EXPECT_EQ(offsets[39], 0);
  EXPECT_EQ(control->pauseCounter(), -SkinTextControl::kRestTicks + 1);
  EXPECT_EQ(offsets[40], 0);
}

TEST_F(SkinTextControlTest, ALineThatFitsNeverScrolls) {
  setUpText(measured(u"Short") + 5, true);
  control->setLineCount(1);
  control->setLine(u"Short", 0);
  EXPECT_FALSE(control->marqueeRunning());
  for (int offset : ticks(30)) EXPECT_EQ(offset, 0);
  control->pointerDown(50, 5);
  control->pointerMove(10, 5);
  EXPECT_EQ(control->scrollOffset(), 0);
}

TEST_F(SkinTextControlTest, ATapOnAFixedTextShowsTheNextLine) {
  setUpText(200, false);
  control->pointerDown(5, 5);  // no lines yet: nothing to show, nothing breaks
  EXPECT_EQ(control->currentLine(), 0);
  ASSERT_TRUE(control->setLineCount(2));
  EXPECT_FALSE(control->setLineCount(-1));
  control->setLine(u"Connecting...", 0);
  control->setLine(u"Volume: 50%", 1);
  control->setLine(u"ignored", 2);
  EXPECT_EQ(control->currentLine(), 0);
  control->pointerDown(5, 5);
  control->pointerUp(5, 5);
  EXPECT_EQ(control->currentLine(), 1);
  control->pointerDown(5, 5);
  EXPECT_EQ(control->currentLine(), 0);
  EXPECT_EQ(control->line(1), u"Volume: 50%");
  EXPECT_FALSE(control->marqueeRunning());
}

TEST_F(SkinTextControlTest, AShortTapStopsTheMarqueeAndTheNextStartsIt) {
  setUpText(measured(kLongLine) - 30, true);
  control->setLineCount(1);
  control->setLine(kLongLine, 0);
  control->pointerDown(5, 5);
  EXPECT_FALSE(control->marqueeRunning());
  control->pointerUp(5, 5);
  EXPECT_FALSE(control->autoScroll());
  EXPECT_FALSE(control->marqueeRunning());
  control->pointerDown(5, 5);
  control->pointerUp(5, 5);
  EXPECT_TRUE(control->marqueeRunning());

  // A long touch leaves the choice as it was; a new line starts the marquee in any case.
  control->pointerDown(5, 5);
  QThread::msleep(SkinTextControl::kTapMs + 20);
  control->pointerUp(5, 5);
  EXPECT_TRUE(control->autoScroll());
  control->pointerDown(5, 5);
  control->pointerUp(5, 5);
  EXPECT_FALSE(control->marqueeRunning());
  control->setLine(kLongLine, 0);
  EXPECT_TRUE(control->marqueeRunning());
}

TEST_F(SkinTextControlTest, DraggingMovesTheTextOnceTheRestIsUsedUp) {
  setUpText(measured(kLongLine) - 30, true);
  control->setLineCount(1);
  control->setLine(kLongLine, 0);
  control->pointerDown(100, 5);
  int x = 100;
  for (int i = 0; i < 9; ++i) control->pointerMove(--x, 5);
  EXPECT_EQ(control->scrollOffset(), 0);
  control->pointerMove(--x, 5);
  control->pointerMove(--x, 5);
  EXPECT_EQ(control->scrollOffset(), -6);
  control->pointerMove(x + 5, 5);
  EXPECT_EQ(control->scrollOffset(), -3);
}

TEST_F(SkinTextControlTest, RelayoutKeepsTheLinesAndMeasuresThemWithTheNewFont) {
  setUpText(300, true);
  control->setLineCount(1);
  control->setLine(kLongLine, 0);
  const int before = control->lineWidth(0);
  std::string text = test::completeDescription();
  const std::string font = "FontSize=12\r\nScrolling=1\r\n\r\n[Info]";
  text.replace(text.find(font), font.size(), "FontSize=24\r\nScrolling=1\r\n\r\n[Info]");
  WString error;
  ASSERT_TRUE(description.Parse(fromFsPath(test::writeSkin(home.path("skin2"), text)), error));
  SkinControl::sendToAll(&window, kSkinRelayoutMessage);
  EXPECT_EQ(control->line(0), kLongLine);
  EXPECT_GT(control->lineWidth(0), before * 3 / 2);
  EXPECT_EQ(control->geometry(), QRect(20, 40, 100, 16));
}

TEST_F(SkinTextControlTest, TheLineIsDrawnOverThePanelBackground) {
  setUpText(100, false);
  control->setLineCount(1);
  const QImage empty = control->grab().toImage();
  EXPECT_EQ(empty.pixelColor(50, 8), test::kMainPanelColour);
  control->setLine(u"\u2588\u2588\u2588\u2588\u2588\u2588", 0);
  const QImage drawn = control->grab().toImage();
  int inked = 0;
  for (int x = 0; x < 40; ++x) inked += drawn.pixelColor(x, 8) == QColor(255, 128, 0) ? 1 : 0;
  EXPECT_GT(inked, 10);
  EXPECT_EQ(drawn.pixelColor(99, 15), test::kMainPanelColour);
}

}  // namespace
}  // namespace orvel
