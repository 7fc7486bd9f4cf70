#include <QComboBox>
#include <QLineEdit>
#include <gtest/gtest.h>

#include "resources/StringTable.h"
#include "tests/support/RecordingMessageBoxHost.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/NewCategoryDialog.h"
#include "ui/NewRadioDialog.h"
#include "ui/NewStreamDialog.h"
#include "ui/RadioPropertiesDialog.h"

namespace orvel {
namespace {

using test::SmallLibrary;

void type(const ToolkitDialog& dialog, int id, const QString& text) {
  QLineEdit* edit = dialog.item<QLineEdit>(id);
  ASSERT_NE(edit, nullptr) << id;
  edit->setText(text);
}

void choose(const ToolkitDialog& dialog, int id, const QString& text) {
  QComboBox* combo = dialog.item<QComboBox>(id);
  ASSERT_NE(combo, nullptr) << id;
  combo->setCurrentIndex(combo->findText(text));
  ASSERT_EQ(combo->currentText(), text);
}

class EditingDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override { screen = test::screenWindow(240, 320); }
  SmallLibrary library;
  std::unique_ptr<QWidget> screen;
};

TEST_F(EditingDialogsTest, NewCategoryRefusesANameInOtherCase) {
  test::RecordingMessageBoxHost boxes;
  NewCategoryDialog same(screen.get());
  type(same, NewCategoryDialog::kNameId, "jAZZ");
  same.sendCommand(ToolkitWindow::kIdOk);
  EXPECT_EQ(same.result(), ToolkitWindow::kIdOk);
  EXPECT_FALSE(same.addTo(library.database));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, StringTable::load(kStrCategoryExists));
  EXPECT_EQ(boxes.shown[0].icon, MessageBoxHost::Icon::Stop);
  EXPECT_EQ(boxes.shown[0].caption, u"Orvel Radio");

  NewCategoryDialog empty(screen.get());
  EXPECT_FALSE(empty.addTo(library.database));
  NewCategoryDialog fresh(screen.get());
  type(fresh, NewCategoryDialog::kNameId, "Blues");
  EXPECT_TRUE(fresh.addTo(library.database));
  EXPECT_EQ(library.database.CategoryCount(), 4);
  EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(EditingDialogsTest, NewRadioNeedsATitleAndGoesIntoTheChosenCategory) {
  test::RecordingMessageBoxHost boxes;
  NewRadioDialog dialog(screen.get(), library.database);
  QComboBox* categories = dialog.item<QComboBox>(NewRadioDialog::kCategoryId);
  EXPECT_EQ(categories->itemText(0), QString("Jazz"));
  EXPECT_EQ(categories->currentIndex(), 0);
  dialog.show();
  dialog.sendCommand(ToolkitWindow::kIdOk);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, StringTable::load(kStrTitleEmpty));
  EXPECT_TRUE(dialog.isVisible());  // stays open
  type(dialog, NewRadioDialog::kTitleId, "Talk Now");
  type(dialog, NewRadioDialog::kShortTitleId, "TN");
  choose(dialog, NewRadioDialog::kCategoryId, "Talk");
  dialog.sendCommand(ToolkitWindow::kIdOk);
  EXPECT_EQ(dialog.result(), ToolkitWindow::kIdOk);
  const CategoryInfo* talk = library.database.GetCategory(2);
  ASSERT_EQ(library.database.RadioCount(talk), 1);
  EXPECT_EQ(library.database.GetRadio(talk, 0)->shortTitle, u"TN");
}

TEST_F(EditingDialogsTest, NewStreamNeedsAUrlAndBecomesTheSelectedOneOnlyWhenNoneWas) {
  test::RecordingMessageBoxHost boxes;
  NewStreamDialog empty(screen.get(), library.database);
  empty.show();
  empty.sendCommand(ToolkitWindow::kIdOk);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, StringTable::load(kStrUrlEmpty));
  EXPECT_TRUE(empty.isVisible());

  const RadioInfo* bare = library.database.AddRadio(library.rock, {u"Bare", u""}, false);
  for (const char* radio : {"Bare", "Blue Note"}) {
    NewStreamDialog dialog(screen.get(), library.database);
    EXPECT_EQ(dialog.item<QComboBox>(NewStreamDialog::kRadioId)->itemText(0), QString("Bare"));
    type(dialog, NewStreamDialog::kUrlId, QString("http://new/") + radio);
    type(dialog, NewStreamDialog::kBitrateId, "256");
    choose(dialog, NewStreamDialog::kRadioId, radio);
    dialog.sendCommand(ToolkitWindow::kIdOk);
    EXPECT_EQ(dialog.result(), ToolkitWindow::kIdOk);
  }
  ASSERT_NE(bare->selectedStream, nullptr);
  EXPECT_EQ(bare->selectedStream->url, u"http://new/Bare");
  EXPECT_EQ(bare->selectedStream->origin, kOriginUser);
  EXPECT_EQ(library.blueNote->selectedStream, library.blue128);
  EXPECT_EQ(library.database.StreamCount(library.blueNote), 3);
}

TEST_F(EditingDialogsTest, EditingAShippedStreamMakesItAUserStream) {
  const StreamInfo* shipped = library.rockOne->selectedStream;
  RadioPropertiesDialog dialog(screen.get(), library.database, library.rock, library.rockOne,
                               shipped);
  EXPECT_FALSE(dialog.item<QLineEdit>(RadioPropertiesDialog::kTitleId)->isEnabled());
  EXPECT_FALSE(dialog.item<QComboBox>(RadioPropertiesDialog::kCategoryId)->isEnabled());
  EXPECT_EQ(dialog.item<QLineEdit>(RadioPropertiesDialog::kUrlId)->text(), QString("http://r/1"));
  type(dialog, RadioPropertiesDialog::kCommentId, "louder");
  dialog.sendCommand(ToolkitWindow::kIdOk);
  EXPECT_EQ(dialog.result(), ToolkitWindow::kIdOk);
  const StreamInfo* edited = library.rockOne->selectedStream;
  ASSERT_NE(edited, nullptr);
  EXPECT_EQ(edited->comment, u"louder");
  EXPECT_EQ(edited->url, u"http://r/1");
  EXPECT_EQ(edited->origin, kOriginUser);
}

TEST_F(EditingDialogsTest, PropertiesRefuseAnEmptyUrlOrTitle) {
  test::RecordingMessageBoxHost boxes;
  RadioPropertiesDialog stream(screen.get(), library.database, library.jazz, library.blueNote,
                               library.blue64);
  stream.show();
  type(stream, RadioPropertiesDialog::kUrlId, "");
  stream.sendCommand(ToolkitWindow::kIdOk);
  RadioPropertiesDialog radio(screen.get(), library.database, library.jazz, library.blueNote,
                              nullptr);
  radio.show();
  EXPECT_FALSE(radio.item<QLineEdit>(RadioPropertiesDialog::kUrlId)->isEnabled());
  type(radio, RadioPropertiesDialog::kTitleId, "");
  radio.sendCommand(ToolkitWindow::kIdOk);
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0].text, StringTable::load(kStrUrlEmpty));
  EXPECT_EQ(boxes.shown[1].text, StringTable::load(kStrTitleEmpty));
  EXPECT_TRUE(stream.isVisible() && radio.isVisible());
  EXPECT_EQ(library.blue64->url, u"http://a/64");
}

TEST_F(EditingDialogsTest, MovingARadioMergesItsStreamsIntoTheSameTitle) {
  const RadioInfo* rockBlue = library.database.AddRadio(library.rock, {u"Blue Note", u""}, false);
  const StreamInfo* own = library.add(rockBlue, u"http://rb/1", u"32", u"MP3", u"", kOriginUser);
  library.database.SetSelectedStream(rockBlue, own);
  RadioPropertiesDialog dialog(screen.get(), library.database, library.jazz, library.blueNote,
                               nullptr);
  EXPECT_EQ(dialog.item<QComboBox>(RadioPropertiesDialog::kCategoryId)->currentText(),
            QString("Jazz"));
  choose(dialog, RadioPropertiesDialog::kCategoryId, "Rock");
  dialog.sendCommand(ToolkitWindow::kIdOk);
  EXPECT_EQ(dialog.result(), ToolkitWindow::kIdOk);
  EXPECT_EQ(library.database.RadioCount(library.jazz), 1);  // Cool FM stays
  ASSERT_EQ(library.database.RadioCount(library.rock), 2);
  const RadioInfo* merged = library.database.GetRadioInfo(rockBlue);
  ASSERT_NE(merged, nullptr);
  ASSERT_EQ(library.database.StreamCount(merged), 3);
  ASSERT_NE(merged->selectedStream, nullptr);
  EXPECT_EQ(merged->selectedStream->url, u"http://a/128");
}

}  // namespace
}  // namespace orvel
