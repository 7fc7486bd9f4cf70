// The web link control: pen tracking, where a link goes, the limits and the look.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include "tests/support/TestApplication.h"
#include "ui/LinkOpener.h"
#include "ui/WebLink.h"

namespace orvel {
namespace {

class RecordingOpener : public LinkOpener {
 public:
  RecordingOpener() : m_previous(LinkOpener::install(this)) {}
  ~RecordingOpener() override { LinkOpener::install(m_previous); }
  bool openInBrowser(const WString& link) override {
    browsed.push_back(link);
    return true;
  }
  bool openMail(const WString& address) override {
    mailed.push_back(address);
    return true;
  }
  std::vector<WString> browsed;
  std::vector<WString> mailed;

 private:
  LinkOpener* m_previous;
};

class WebLinkTest : public ::testing::Test {
 protected:
  WebLinkTest() {
    link.resize(120, 20);
    link.setLink(u"http://orvel.example/");
  }

  void send(QEvent::Type type, QPoint point, Qt::MouseButtons held) {
    QMouseEvent event(type, point, link.mapToGlobal(point), Qt::LeftButton, held, {});
    QApplication::sendEvent(&link, &event);
  }
  void press(QPoint point) { send(QEvent::MouseButtonPress, point, Qt::LeftButton); }
  void move(QPoint point) { send(QEvent::MouseMove, point, Qt::LeftButton); }
  void release(QPoint point) { send(QEvent::MouseButtonRelease, point, Qt::NoButton); }

  int pixelsOf(const QColor& colour) {
    const QImage shot = link.grab().toImage();
    int count = 0;
    for (int y = 0; y < shot.height(); ++y) {
      for (int x = 0; x < shot.width(); ++x) count += shot.pixelColor(x, y) == colour ? 1 : 0;
    }
    return count;
  }

  QApplication& app = test::testApplication();
  RecordingOpener opener;
  WebLink link{u"orvel.example", nullptr};
  const QPoint inside{10, 10};
  const QPoint outside{200, 10};
};

TEST_F(WebLinkTest, SlidingOffCancelsAndSlidingBackRearmsTheTap) {
  press(inside);
  EXPECT_TRUE(link.isPressed());
  move(outside);
  EXPECT_FALSE(link.isPressed());
  release(outside);
  EXPECT_TRUE(opener.browsed.empty());

  press(inside);
  move(outside);
  move(inside);
  EXPECT_TRUE(link.isPressed());
  release(inside);
  EXPECT_FALSE(link.isPressed());
  ASSERT_EQ(opener.browsed.size(), 1u);
  EXPECT_EQ(opener.browsed[0], u"http://orvel.example/");
  EXPECT_TRUE(opener.mailed.empty());
}

TEST_F(WebLinkTest, MailtoInAnyCaseGoesToTheMailProgramAndOtherLinksAsTheyAre) {
  link.setLink(u"MailTo:Support@Orvel.example");
  press(inside);
  release(inside);
  ASSERT_EQ(opener.mailed.size(), 1u);
  EXPECT_EQ(opener.mailed[0], u"Support@Orvel.example");

  link.setLink(u"www.orvel.example/radio?x=1");
  press(inside);
  release(inside);
  ASSERT_EQ(opener.browsed.size(), 1u);
  EXPECT_EQ(opener.browsed[0], u"www.orvel.example/radio?x=1");

  // "mailto" without its colon is no mail address.
  link.setLink(u"mailto");
  press(inside);
  release(inside);
  EXPECT_EQ(opener.browsed.size(), 2u);
  EXPECT_EQ(opener.mailed.size(), 1u);
}

TEST_F(WebLinkTest, WithoutALinkATapOpensNothing) {
  link.setLink(u"");
  press(inside);
  release(inside);
  EXPECT_TRUE(opener.browsed.empty());
  EXPECT_TRUE(opener.mailed.empty());
}

TEST_F(WebLinkTest, LongTextsAndLinksAreCut) {
  link.setText(WString(200, u'a'));
  EXPECT_EQ(link.text().size(), WebLink::kMaxTextChars);
  EXPECT_TRUE(link.setLink(WString(300, u'b')));
  EXPECT_EQ(link.link().size(), WebLink::kMaxLinkChars);
  // A caller's buffer of 10 characters holds 9 and the terminator.
  EXPECT_EQ(link.link(10), WString(9, u'b'));
  EXPECT_EQ(link.link(0), WString());
  WebLink made(WString(130, u'c'), nullptr);
  EXPECT_EQ(made.text().size(), WebLink::kMaxTextChars);
}

TEST_F(WebLinkTest, TheTextIsUnderlinedBlueAndPurpleWhilePressed) {
  QFont plain = link.font();
  plain.setUnderline(false);
  plain.setPixelSize(14);
  link.setFont(plain);
  EXPECT_TRUE(link.font().underline());
  EXPECT_EQ(link.font().pixelSize(), 14);

  // The underline is drawn in the text colour without smoothing.
  EXPECT_GT(pixelsOf(WebLink::kLinkColour), 20);
  EXPECT_EQ(pixelsOf(WebLink::kPressedColour), 0);
  press(inside);
  EXPECT_GT(pixelsOf(WebLink::kPressedColour), 20);
  EXPECT_EQ(pixelsOf(WebLink::kLinkColour), 0);
  move(outside);
  EXPECT_GT(pixelsOf(WebLink::kLinkColour), 20);
}

}  // namespace
}  // namespace orvel
