#include <QApplication>
#include <QFrame>
#include <QTabWidget>
#include <QLabel>
#include <QListWidget>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "resources/StringTable.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/RadioListDelegate.h"
#include "ui/ToolkitDialog.h"
#include "ui/ToolkitFrameWindow.h"
#include "ui/ToolkitHelpers.h"
#include "ui/ToolkitListView.h"
#include "ui/ToolkitPropertySheet.h"

namespace orvel {
namespace {

// A window that records the notifications and commands it gets.
class Recorder : public ToolkitWindow {
 public:
  Recorder() : ToolkitWindow(nullptr) {}
  bool notify(const ToolkitNotification& notification) override {
    codes.push_back({notification.code, notification.item});
    return true;
  }
  std::vector<std::pair<int, int>> codes;  // code, item

 protected:
  bool command(int id) override {
    commands.push_back(id);
    return true;
  }

 public:
  std::vector<int> commands;
};

class ListViewTest : public ::testing::Test {
 protected:
  // The list below is a widget: the application must exist before the fixture does.
  static void SetUpTestSuite() { test::testApplication(); }

  void SetUp() override {
    list.resize(200, 300);
    for (int i = 0; i < 6; ++i) list.addItem(QString("item %1").arg(i));
    list.show();
    list.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&list));
  }
  void attach(QAbstractItemView::SelectionMode mode, uint32_t options) {
    list.setSelectionMode(mode);
    helper.attach(&list, &recorder, 101, options);
  }
  QPoint at(int row) { return list.visualItemRect(list.item(row)).center(); }
  std::vector<int> selectedRows() {
    std::vector<int> rows;
    for (int i = 0; i < list.count(); ++i) {
      if (list.item(i)->isSelected()) rows.push_back(i);
    }
    return rows;
  }

  QListWidget list;
  Recorder recorder;
  ToolkitListView helper;
};

TEST_F(ListViewTest, TapSelectsAloneAndActivates) {
  attach(QAbstractItemView::ExtendedSelection, ToolkitListView::kDefaultOptions);
  list.item(0)->setSelected(true);
  list.clearFocus();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at(2));
  EXPECT_EQ(selectedRows(), std::vector<int>{2});
  ASSERT_EQ(recorder.codes.size(), 1u);
  EXPECT_EQ(recorder.codes[0], std::make_pair(-190, 2));
  EXPECT_EQ(recorder.commands, std::vector<int>{101});  // the list took the focus
}

TEST_F(ListViewTest, TapAndHoldSendsOnlyTheContextNotification) {
  attach(QAbstractItemView::SingleSelection, ToolkitListView::kDefaultOptions);
  QTest::mouseClick(list.viewport(), Qt::RightButton, {}, at(1));
  QTest::mousePress(list.viewport(), Qt::LeftButton, {}, at(3));
  QTest::qWait(ToolkitListView::kHoldMs + 200);
  QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, at(3));
  const std::vector<std::pair<int, int>> expected{{-191, 1}, {-191, 3}};
  EXPECT_EQ(recorder.codes, expected);
  EXPECT_EQ(selectedRows(), std::vector<int>{3});
}

TEST_F(ListViewTest, DraggingSelectsTheRangeAndIsNoTap) {
  attach(QAbstractItemView::ExtendedSelection, ToolkitListView::kDefaultOptions);
  QTest::mousePress(list.viewport(), Qt::LeftButton, {}, at(1));
  QTest::mouseMove(list.viewport(), at(2));
  QTest::mouseMove(list.viewport(), at(3));
  QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, at(3));
  EXPECT_EQ(selectedRows(), (std::vector<int>{1, 2, 3}));
  EXPECT_TRUE(recorder.codes.empty());
}

TEST_F(ListViewTest, ToggleAndDoubleTapOptions) {
  attach(QAbstractItemView::MultiSelection,
         ToolkitListView::kTapToggles | ToolkitListView::kDoubleTapActivates);
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at(0));
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at(4));
  EXPECT_EQ(selectedRows(), (std::vector<int>{0, 4}));
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at(4));
  EXPECT_EQ(selectedRows(), std::vector<int>{0});
  EXPECT_TRUE(recorder.codes.empty());
}

TEST(ToolkitHelpers, PathsAndScale) {
  EXPECT_EQ(toolkit::lastComponent(u"http://host/dir/list.pls"), WString(u"list.pls"));
  EXPECT_EQ(toolkit::lastComponent(u"/home/u/"), WString());
  EXPECT_FALSE(toolkit::lastComponent(u"plain").has_value());
  EXPECT_EQ(toolkit::joinPaths(u"/a/", u"/b"), u"/a/b");
  EXPECT_EQ(toolkit::joinPaths(u"/a", u"b"), u"/a/b");
  EXPECT_EQ(toolkit::borderWidth({240, 320}), 1);
  EXPECT_EQ(toolkit::borderWidth({640, 480}), 2);
  EXPECT_FALSE(toolkit::isHighResolution({480, 480}));
  EXPECT_TRUE(toolkit::isHighResolution({480, 640}));
  EXPECT_EQ(toolkit::toolkitFont(true, 9, 2, true).pixelSize(), 18);
  EXPECT_FALSE(toolkit::showHelp(QString(), QString()));
}

TEST(ToolkitResources, IconStripsOfBothScalesAreBuiltIn) {
  test::testApplication();
  EXPECT_EQ(RadioListDelegate::iconStrip(1).size(), QSize(130, 13));
  EXPECT_EQ(RadioListDelegate::iconStrip(2).size(), QSize(260, 26));
}

TEST(ToolkitFrameWindow, TakesItsTitleAndClosesOnExit) {
  test::testApplication();
  ToolkitFrameWindow frame;
  ASSERT_TRUE(frame.create(kStrMyRadios, QIcon()));
  EXPECT_EQ(frame.windowTitle(), QString("My Radios"));
  EXPECT_FALSE(frame.sendCommand(ToolkitWindow::kIdOk));
  EXPECT_TRUE(frame.sendCommand(ToolkitWindow::kIdExit));
  EXPECT_FALSE(frame.isVisible());
}

TEST(ToolkitDialog, EndsWithTheCommandAndFollowsTheScreen) {
  auto screen = test::screenWindow(240, 320);
  for (int id : {ToolkitWindow::kIdOk, ToolkitWindow::kIdCancel, ToolkitWindow::kIdClose}) {
    ToolkitDialog dialog(screen.get(), "Test");
    dialog.show();
    EXPECT_TRUE(dialog.sendCommand(id));
    EXPECT_EQ(dialog.result(), id);
    EXPECT_FALSE(dialog.isVisible());
  }
  ToolkitDialog dialog(screen.get(), "Test");
  dialog.setUpHeader("Header", true);
  dialog.show();
  QApplication::processEvents();
  EXPECT_EQ(dialog.size(), QSize(240, 320));
  EXPECT_EQ(dialog.headerLine()->width(), 240);
  EXPECT_EQ(dialog.headerLine()->height(), 1);
  dialog.close();
  EXPECT_EQ(dialog.result(), ToolkitWindow::kIdCancel);
  dialog.setScreenSize({320, 240});
  dialog.show();
  QApplication::processEvents();
  EXPECT_EQ(dialog.headerLine()->width(), 320);
  EXPECT_TRUE(dialog.sendCommand(ToolkitWindow::kIdHelp));  // no help file: nothing happens
  EXPECT_FALSE(dialog.sendCommand(12345));
}

// A page that refuses to apply until it is allowed to.
class Page : public ToolkitDialog {
 public:
  Page(QWidget* parent, bool* allow) : ToolkitDialog(parent, "Page"), m_allow(allow) {}
  int applied = 0;

 protected:
  bool command(int id) override {
    if (id != kIdOk) return ToolkitDialog::command(id);
    if (!*m_allow) return false;
    ++applied;
    return ToolkitDialog::command(id);
  }

 private:
  bool* m_allow;
};

TEST(ToolkitPropertySheet, APageThatRefusesKeepsTheSheetOpenOnIt) {
  auto screen = test::screenWindow(240, 320);
  bool first = true;
  bool second = false;
  ToolkitPropertySheet sheet(screen.get(), "Settings");
  auto* one = new Page(&sheet, &first);
  auto* two = new Page(&sheet, &second);
  sheet.addPage(one, 10, "One");
  sheet.addPage(two, 20, "Two");
  sheet.show();
  sheet.sendCommand(ToolkitWindow::kIdOk);
  EXPECT_TRUE(sheet.isVisible());
  EXPECT_EQ(sheet.tabs()->currentWidget(), two);
  EXPECT_EQ(sheet.lastPageId(), 20);
  second = true;
  sheet.sendCommand(ToolkitWindow::kIdOk);
  EXPECT_FALSE(sheet.isVisible());
  EXPECT_EQ(sheet.result(), ToolkitWindow::kIdOk);
  EXPECT_EQ(two->applied, 1);
  EXPECT_EQ(one->applied, 2);  // every OK asks every page
}

}  // namespace
}  // namespace orvel
