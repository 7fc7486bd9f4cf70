// Panels and buttons: frame choice, press logic and notifications, relayout.
#include <gtest/gtest.h>

#include <QMouseEvent>

#include "SkinFixture.h"
#include "platform/FilePath.h"
#include "skin/ImageDecoder.h"
#include "skin/SkinButton.h"
#include "skin/SkinDescription.h"
#include "skin/SkinMessageEvent.h"
#include "skin/SkinPanel.h"
#include "tests/support/TempHome.h"

namespace orvel {
namespace {

class RecordingListener : public ButtonListener {
 public:
  intptr_t notify(uint32_t code, const Notification& data) override {
    codes.push_back(code);
    if (data.point != nullptr) points.push_back(*data.point);
    return 0;
  }
  std::vector<uint32_t> codes;
  std::vector<QPoint> points;
};

class SkinButtonTest : public ::testing::Test {
 protected:
  QApplication& app = test::skinTestApplication();

  void load(int frames, const std::string& text = test::completeDescription()) {
    WString error;
    ASSERT_TRUE(
        description.Parse(fromFsPath(test::writeSkin(home.path("skin"), text, frames)), error))
        << toUtf8(error);
  }
  void setUpControls() {
    window.resize(240, 320);
    ASSERT_TRUE(panel.setup(&window, description, SkinDescription::kMainPanel, true));
    ASSERT_TRUE(button.setup(&panel, panel.backgroundPicture(), description,
                             SkinDescription::kPlayBtn, true, true));
  }
  // The colour the button shows at its centre.
  QColor shown() { return button.grab().toImage().pixelColor(20, 10); }
  void mouse(QEvent::Type type, QPoint at, Qt::MouseButton which = Qt::LeftButton) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : which;
    QMouseEvent event(type, at, button.mapToGlobal(at), which, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&button, &event);
  }

  test::TempHome home;
  ImageDecoder decoder;
  SkinDescription description{&decoder};
  QWidget window;
  RecordingListener listener;
  // Destroyed before the window, each taking itself out of its parent.
  std::unique_ptr<SkinPanel> panelOwner = std::make_unique<SkinPanel>();
  std::unique_ptr<SkinButton> buttonOwner = std::make_unique<SkinButton>(&listener);
  SkinPanel& panel = *panelOwner;
  SkinButton& button = *buttonOwner;
};

void replaceFirst(std::string& text, const std::string& from, const std::string& to) {
  text.replace(text.find(from), from.size(), to);
}

TEST_F(SkinButtonTest, AStripOfSixFramesShowsThreeLooksPerMode) {
  load(6);
  setUpControls();
  EXPECT_EQ(button.frameCount(), 7);
  EXPECT_EQ(shown(), test::kMainPanelColour);  // frame 0 before any state is chosen
  const std::pair<int, SkinButton::State> cases[] = {
      {0, SkinButton::kNormal}, {1, SkinButton::kPressed}, {2, SkinButton::kDisabled},
      {3, SkinButton::kNormal}, {4, SkinButton::kPressed}, {5, SkinButton::kDisabled}};
  for (const auto& [stripFrame, state] : cases) {
    button.setMode(stripFrame / 3);
    button.setFrame(button.frameFor(state));
    EXPECT_EQ(shown(), test::stripColour(stripFrame)) << stripFrame;
  }
}

TEST_F(SkinButtonTest, AStripOfFiveFramesShowsThePanelForTheFirstNormalLook) {
  load(5);
  setUpControls();
  button.setMode(0);
  EXPECT_EQ(shown(), test::kMainPanelColour);
  button.pointerDown(5, 5);
  EXPECT_EQ(shown(), test::stripColour(0));
  button.pointerUp(5, 5);
  button.enable(false);
  EXPECT_EQ(shown(), test::stripColour(1));
  button.enable(true);
  button.setMode(1);
  EXPECT_EQ(shown(), test::stripColour(2));
}

TEST_F(SkinButtonTest, PressSlideOffAndReleaseIsNoClickButTheNextTapIs) {
  load(6);
  setUpControls();
  mouse(QEvent::MouseButtonPress, QPoint(5, 6));
  EXPECT_TRUE(button.isPressed());
  EXPECT_EQ(shown(), test::stripColour(1));
  mouse(QEvent::MouseMove, QPoint(60, 6));
  EXPECT_EQ(shown(), test::stripColour(0));
  mouse(QEvent::MouseMove, QPoint(30, 6));
  mouse(QEvent::MouseMove, QPoint(-3, 6));
  mouse(QEvent::MouseButtonRelease, QPoint(-3, 6));
  EXPECT_EQ(listener.codes, std::vector<uint32_t>(
                                {ButtonListener::kNotifyPressed, ButtonListener::kNotifyReleased}));
  ASSERT_EQ(listener.points.size(), 1u);
  EXPECT_EQ(listener.points[0], button.mapToGlobal(QPoint(5, 6)));

  listener.codes.clear();
  mouse(QEvent::MouseButtonPress, QPoint(5, 6));
  mouse(QEvent::MouseButtonRelease, QPoint(5, 6));
  EXPECT_EQ(listener.codes,
            std::vector<uint32_t>({ButtonListener::kNotifyPressed, ButtonListener::kNotifyReleased,
                                   ButtonListener::kNotifyClicked}));
  EXPECT_FALSE(button.isPressed());
}

TEST_F(SkinButtonTest, ADisabledButtonIgnoresTapsAndOtherButtonsGoToTheParent) {
  load(6);
  setUpControls();
  button.enable(false);
  EXPECT_EQ(shown(), test::stripColour(2));
  mouse(QEvent::MouseButtonPress, QPoint(5, 6));
  mouse(QEvent::MouseButtonRelease, QPoint(5, 6));
  EXPECT_TRUE(listener.codes.empty());
  button.enable(true);
  mouse(QEvent::MouseButtonPress, QPoint(5, 6), Qt::RightButton);
  EXPECT_TRUE(listener.codes.empty());
}

TEST_F(SkinButtonTest, RelayoutReadsTheNewSkinInPlace) {
  load(6);
  setUpControls();
  EXPECT_EQ(panel.geometry(), QRect(0, 0, 240, 100));
  EXPECT_EQ(button.geometry(), QRect(10, 10, 40, 20));
  button.setMode(1);
  std::string moved = test::completeDescription(120, 160);
  replaceFirst(moved, "[PlayBtn]\r\nFile=strip.png\r\nX=10", "[PlayBtn]\r\nFile=strip.png\r\nX=30");
  load(3, moved);
  description.setScreenWidth(240);
  // A paint that comes before the message takes the element's "new" mark first.
  button.grab();
  SkinControl::postToAll(&window, kSkinRelayoutMessage);
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(panel.geometry(), QRect(0, 0, 480, 200));
  EXPECT_EQ(button.geometry(), QRect(60, 20, 80, 40));
  EXPECT_EQ(button.frameCount(), 4);
  EXPECT_EQ(button.mode(), 1);
}

TEST_F(SkinButtonTest, AControlWithAnAllZeroRectangleIsHiddenAndTheClassLivesWithTheControls) {
  std::string text = test::completeDescription();
  replaceFirst(text, "[PlayBtn]\r\nFile=strip.png\r\nX=10\r\nY=10\r\nWidth=40\r\nHeight=20",
               "[PlayBtn]\r\nFile=strip.png\r\nX=0\r\nY=0\r\nWidth=0\r\nHeight=0");
  load(6, text);
  setUpControls();
  window.show();
  EXPECT_FALSE(button.isVisible());
  EXPECT_TRUE(panel.isVisible());
  EXPECT_TRUE(SkinControl::classRegistered());
  window.hide();
  buttonOwner.reset();
  panelOwner.reset();
  EXPECT_FALSE(SkinControl::classRegistered());
}

TEST_F(SkinButtonTest, AControlForAnElementOfAnotherKindFailsItsSetup) {
  load(6);
  SkinButton other(nullptr);
  EXPECT_FALSE(other.setup(&window, nullptr, description, SkinDescription::kMainPanel, true, true));
  SkinPanel wrong;
  EXPECT_FALSE(wrong.setup(&window, description, SkinDescription::kPlayBtn, true));
}

}  // namespace
}  // namespace orvel
