#include "ui/ImportDialog.h"

#include <QLineEdit>
#include <gtest/gtest.h>

#include "resources/StringTable.h"
#include "tests/support/RecordingMessageBoxHost.h"
#include "tests/support/TempHome.h"
#include "tests/ui/UiTestSupport.h"

namespace orvel {
namespace {

class ImportDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { screen = test::screenWindow(240, 320); }

  int importPath(const std::string& path) {
    ImportDialog dialog(screen.get(), library.database);
    dialog.item<QLineEdit>(ImportDialog::kPathId)->setText(QString::fromStdString(path));
    dialog.sendCommand(ToolkitWindow::kIdOk);
    return dialog.result();
  }

  const CategoryInfo* myRadios() const {
    for (const CategoryInfo* category : library.database.allCategories()) {
      if (category->name == u"My Radios") return category;
    }
    return nullptr;
  }

  test::TempHome home;
  test::SmallLibrary library;
  std::unique_ptr<QWidget> screen;
};

TEST_F(ImportDialogTest, AnM3uFileAddsItsRadiosToMyRadios) {
  const std::string path = home.path("two.m3u");
  test::writeFile(path,
                  "#EXTM3U\r\n#EXTINF:-1,Night Owl\r\nhttp://owl/1\r\n"
                  "#EXTINF:-1,Early Bird\r\nhttp://bird/1\r\n");
  test::RecordingMessageBoxHost boxes;
  EXPECT_EQ(importPath(path), ToolkitWindow::kIdOk);
  EXPECT_TRUE(boxes.shown.empty());
  const CategoryInfo* category = myRadios();
  ASSERT_NE(category, nullptr);
  ASSERT_EQ(library.database.RadioCount(category), 2);
  for (const RadioInfo* radio : library.database.radiosOf(category)) {
    ASSERT_EQ(library.database.StreamCount(radio), 1);
    EXPECT_EQ(library.database.GetStream(radio, 0)->origin, kOriginUser);
  }
}

TEST_F(ImportDialogTest, AFileOfNoKnownFormatShowsString19AndCancels) {
  const std::string path = home.path("notes.txt");
  test::writeFile(path, "http://x/1\n");
  test::RecordingMessageBoxHost boxes;
  EXPECT_EQ(importPath(path), ToolkitWindow::kIdCancel);
  EXPECT_EQ(importPath(home.path("missing.pls")), ToolkitWindow::kIdCancel);
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0].text, StringTable::load(kStrPlaylistUnsupported));
  EXPECT_EQ(boxes.shown[0].icon, MessageBoxHost::Icon::Stop);
  const CategoryInfo* category = myRadios();
  EXPECT_TRUE(category == nullptr || library.database.RadioCount(category) == 0);
}

TEST(ImportDialogFilter, PairsBecomeFileDialogFilters) {
  EXPECT_EQ(ImportDialog::fileDialogFilter(),
            QString("All playlists (*.m3u *.pls);;M3U playlist (*.m3u);;PLS playlist (*.pls)"));
}

}  // namespace
}  // namespace orvel
