#include "ui/RadioDialog.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMenu>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "resources/StringTable.h"
#include "tests/support/RecordingMessageBoxHost.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/NewCategoryDialog.h"
#include "ui/RadioRowItem.h"

namespace orvel {
namespace {

using test::SmallLibrary;
using test::tapRow;

class RadioDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    screen = test::screenWindow(240, 320);
    dialog = std::make_unique<RadioDialog>(screen.get(), library.database);
    dialog->show();
    QApplication::processEvents();
  }

  // The kinds of the rows, top to bottom, as "C", "R", "S" (selected stream "S*").
  std::string shape() const {
    std::string text;
    for (int i = 0; i < dialog->rowCount(); ++i) {
      const RadioRowItem* row = dialog->row(i);
      text += row->kind() == RadioRowItem::kCategory ? "C"
              : row->kind() == RadioRowItem::kRadio  ? "R"
                                                     : "S";
      if (row->has(RadioRowItem::kSelectedStream)) text += "*";
    }
    return text;
  }

  SmallLibrary library;
  std::unique_ptr<QWidget> screen;
  std::unique_ptr<RadioDialog> dialog;
};

TEST_F(RadioDialogTest, OneCategoryIsOpenAtATime) {
  ASSERT_EQ(shape(), "CCC");
  tapRow(dialog->list(), 0);  // Jazz
  EXPECT_EQ(shape(), "CRRCC");
  EXPECT_TRUE(dialog->row(0)->has(RadioRowItem::kExpanded));
  tapRow(dialog->list(), 3);  // Rock: Jazz closes
  EXPECT_EQ(shape(), "CCRC");
  EXPECT_FALSE(dialog->row(0)->has(RadioRowItem::kExpanded));
  EXPECT_EQ(dialog->row(2)->radio(), library.rockOne);
  tapRow(dialog->list(), 1);  // Rock again: closes
  EXPECT_EQ(shape(), "CCC");
  EXPECT_FALSE(dialog->isHidden() && dialog->result() == 1);
}

TEST_F(RadioDialogTest, TappingARadioWithoutSelectedStreamOpensItThenAStreamIsChosen) {
  tapRow(dialog->list(), 0);
  tapRow(dialog->list(), 2);  // Cool FM has no selected stream
  EXPECT_EQ(shape(), "CRRSCC");
  EXPECT_TRUE(dialog->isVisible());
  tapRow(dialog->list(), 3);
  EXPECT_EQ(dialog->result(), ToolkitWindow::kIdOk);
  EXPECT_FALSE(dialog->isVisible());
  ASSERT_NE(dialog->chosenStream(), nullptr);
  EXPECT_EQ(dialog->chosenStream()->url, u"http://c/96");
}

TEST_F(RadioDialogTest, EnterOnTheListActsLikeATap) {
  dialog->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
  dialog->list()->setFocus();
  dialog->list()->setCurrentItem(dialog->row(1));  // Rock
  QTest::keyClick(dialog->list(), Qt::Key_Return);
  EXPECT_EQ(shape(), "CCRC");
  EXPECT_TRUE(dialog->isVisible());
  QTest::keyClick(dialog->list(), Qt::Key_Down);
  QTest::keyClick(dialog->list(), Qt::Key_Return);  // Rock One has a selected stream
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(dialog->result(), ToolkitWindow::kIdOk);
  EXPECT_EQ(dialog->chosenStream(), library.rockOne->selectedStream);
}

TEST_F(RadioDialogTest, CommentLineFollowsTheRadiosSelectedStream) {
  tapRow(dialog->list(), 0);
  dialog->list()->setCurrentItem(dialog->row(1));
  EXPECT_EQ(dialog->commentLine()->text(), QString("the good one"));
  dialog->list()->setCurrentItem(dialog->row(2));
  EXPECT_TRUE(dialog->commentLine()->text().isEmpty());
  dialog->list()->setCurrentItem(dialog->row(0));
  EXPECT_TRUE(dialog->commentLine()->text().isEmpty());
}

TEST_F(RadioDialogTest, ContextMenuGreysWhatDoesNotApplyToTheRow) {
  tapRow(dialog->list(), 0);
  dialog->sendCommand(RadioDialog::kCmdChangeStream);  // no effect on a category row
  dialog->list()->setCurrentItem(dialog->row(1));
  dialog->sendCommand(RadioDialog::kCmdChangeStream);  // opens Blue Note
  ASSERT_EQ(shape(), "CRS*SRCC");
  const std::pair<int, std::pair<bool, bool>> expected[] = {
      {0, {false, false}}, {1, {true, false}}, {2, {false, true}}};
  for (const auto& [rowIndex, enabled] : expected) {
    QTest::mouseClick(dialog->list()->viewport(), Qt::RightButton, {},
                      test::rowCentre(dialog->list(), rowIndex));
    QMenu* menu = dialog->contextMenu();
    EXPECT_TRUE(menu->isVisible()) << rowIndex;
    EXPECT_EQ(ToolkitWindow::findCommand(menu, RadioDialog::kCmdChangeStream)->isEnabled(),
              enabled.first) << rowIndex;
    EXPECT_EQ(ToolkitWindow::findCommand(menu, RadioDialog::kCmdSelectStream)->isEnabled(),
              enabled.second) << rowIndex;
    EXPECT_TRUE(ToolkitWindow::findCommand(menu, RadioDialog::kCmdDelete)->isEnabled());
    menu->hide();
  }
  EXPECT_TRUE(dialog->isVisible());  // a tap-and-hold is no tap
}

TEST_F(RadioDialogTest, SelectStreamMovesTheMarkAndTheRadiosChoice) {
  tapRow(dialog->list(), 0);
  dialog->list()->setCurrentItem(dialog->row(1));
  dialog->sendCommand(RadioDialog::kCmdChangeStream);
  dialog->list()->setCurrentItem(dialog->row(3));  // 64 AAC
  dialog->sendCommand(RadioDialog::kCmdSelectStream);
  EXPECT_EQ(shape(), "CRSS*RCC");
  EXPECT_EQ(library.blueNote->selectedStream, library.blue64);
  EXPECT_EQ(dialog->row(1)->sideText(), QString("64 AAC"));
  EXPECT_EQ(dialog->commentLine()->text(), QString("low"));
}

TEST_F(RadioDialogTest, DeleteAsksByRowKindAndFixesTheSelectedStream) {
  {
    test::RecordingMessageBoxHost boxes(MessageBoxHost::kNo);
    dialog->list()->setCurrentItem(dialog->row(0));
    dialog->sendCommand(RadioDialog::kCmdDelete);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, StringTable::load(kStrDeleteCategoryQuestion));
    EXPECT_EQ(boxes.shown[0].icon, MessageBoxHost::Icon::Warning);
    EXPECT_EQ(boxes.shown[0].buttons, MessageBoxHost::Buttons::YesNo);
    EXPECT_EQ(library.database.CategoryCount(), 3);
  }
  test::RecordingMessageBoxHost boxes(MessageBoxHost::kYes);
  tapRow(dialog->list(), 0);
  dialog->list()->setCurrentItem(dialog->row(1));
  dialog->sendCommand(RadioDialog::kCmdChangeStream);
  dialog->list()->setCurrentItem(dialog->row(2));  // 128 MP3, the selected one
  dialog->sendCommand(RadioDialog::kCmdDelete);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, StringTable::load(kStrDeleteStreamQuestion));
  EXPECT_EQ(library.database.StreamCount(library.blueNote), 1);
  EXPECT_EQ(library.blueNote->selectedStream, library.blue64);
  EXPECT_EQ(shape(), "CCC");  // rebuilt
  EXPECT_EQ(dialog->chosenStream(), nullptr);
}

TEST_F(RadioDialogTest, ColumnsScaleWithTheScreen) {
  const int narrowIcon = dialog->list()->columnWidth(0);
  const int narrowSide = dialog->list()->columnWidth(2);
  auto wide = test::screenWindow(480, 640);
  RadioDialog large(wide.get(), library.database);
  large.show();
  QApplication::processEvents();
  EXPECT_EQ(narrowIcon, 14);
  EXPECT_EQ(large.list()->columnWidth(0), 28);
  EXPECT_GT(large.list()->columnWidth(2), narrowSide);
  const int used = large.list()->columnWidth(0) + large.list()->columnWidth(1) +
                   large.list()->columnWidth(2);
  EXPECT_EQ(large.list()->width() - used, 14 * 2);  // three rows do not scroll
}

TEST_F(RadioDialogTest, TheNewMenuRunsTheEditorAndRebuildsAfterOk) {
  tapRow(dialog->list(), 0);
  ASSERT_EQ(shape(), "CRRCC");
  QMenu* newMenu = dialog->menuBar()->actions().value(0)->menu();
  ASSERT_NE(newMenu, nullptr);
  QTimer::singleShot(0, [] {
    auto* editor = qobject_cast<NewCategoryDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(editor, nullptr);
    editor->item<QLineEdit>(NewCategoryDialog::kNameId)->setText("Blues");
    editor->sendCommand(ToolkitWindow::kIdOk);
  });
  ToolkitWindow::findCommand(newMenu, RadioDialog::kCmdNewCategory)->trigger();
  EXPECT_EQ(shape(), "CCCC");
  EXPECT_EQ(dialog->row(0)->mainText(), QString("Blues"));
  EXPECT_TRUE(dialog->isVisible());
}

TEST(RadioDialogChoose, TappingARadioWithSelectedStreamGivesThatStream) {
  SmallLibrary library;
  auto screen = test::screenWindow(240, 320);
  QTimer::singleShot(0, [] {
    auto* running = qobject_cast<RadioDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(running, nullptr);
    tapRow(running->list(), 1);  // Rock
    tapRow(running->list(), 2);  // Rock One
  });
  const StreamInfo* chosen = RadioDialog::choose(screen.get(), library.database);
  ASSERT_NE(chosen, nullptr);
  EXPECT_EQ(chosen->url, u"http://r/1");

  QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
  EXPECT_EQ(RadioDialog::choose(screen.get(), library.database), nullptr);
}

}  // namespace
}  // namespace orvel
