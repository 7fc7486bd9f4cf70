// "Find stations" from the radio dialog, against the loopback stand-in of the station directory.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

#include "DirectoryServer.h"
#include "library/DirectoryMirrors.h"
#include "tests/support/RecordingMessageBoxHost.h"
#include "tests/support/TempHome.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/FindStationsDialog.h"
#include "ui/RadioDialog.h"
#include "ui/RadioRowItem.h"

namespace orvel {
namespace {

// Runs the event loop until `done` holds; false after 10 s.
bool waitFor(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

FindStationsDialog* runningFinder() {
  return qobject_cast<FindStationsDialog*>(QApplication::activeModalWidget());
}

void search(FindStationsDialog* finder, const QString& text) {
  finder->textField()->setText(text);
  finder->searchButton()->click();
}

class FindStationsDialogTest : public ::testing::Test {
 protected:
  FindStationsDialogTest() {
    m_home.setEnv(DirectoryMirrors::kEnvironmentVariable, m_server.url("ok"));
    screen = test::screenWindow(240, 320);
  }

  // Opens "Find stations" from the radio dialog's New menu; `inside` runs in it.
  void openFinder(RadioDialog& dialog, std::function<void(FindStationsDialog*)> inside) {
    QTimer::singleShot(0, [inside] {
      FindStationsDialog* finder = runningFinder();
      ASSERT_NE(finder, nullptr);
      inside(finder);
      if (runningFinder() == finder) finder->sendCommand(ToolkitWindow::kIdCancel);
    });
    QMenu* newMenu = dialog.menuBar()->actions().value(0)->menu();
    ToolkitWindow::findCommand(newMenu, RadioDialog::kCmdFindStations)->trigger();
  }

  size_t clicksFor(const std::string& uuid) const {
    const std::vector<std::string> requests = m_server.requests();
    return std::count_if(requests.begin(), requests.end(), [&](const std::string& line) {
      return line.rfind("/ok/json/url/" + uuid + " ", 0) == 0;
    });
  }

  test::TempHome m_home;
  test::DirectoryServer m_server{m_home.path("requests.log")};
  std::unique_ptr<QWidget> screen;
};

TEST_F(FindStationsDialogTest, AddPutsTheStationInFoundOnceAndTheLibraryFileKeepsIt) {
  const WString userFile = fromUtf8(m_home.path("user.rrd"));
  std::string url;
  {
    RadioDatabase database;
    database.OpenUserLibrary(userFile);
    RadioDialog dialog(screen.get(), database);
    dialog.show();
    openFinder(dialog, [&](FindStationsDialog* finder) {
      search(finder, "jazz");
      EXPECT_EQ(finder->statusLine()->text(), QString("Searching..."));
      ASSERT_TRUE(waitFor([finder] { return !finder->searching(); }));
      ASSERT_GT(finder->list()->topLevelItemCount(), 1);
      finder->list()->setCurrentItem(finder->list()->topLevelItem(1));
      EXPECT_EQ(finder->categoryBox()->currentText(), QString("Found"));
      finder->addButton()->click();
      ASSERT_EQ(database.allStreams().size(), 1u);
      url = toUtf8(database.allStreams().front()->url);
      finder->addButton()->click();
      EXPECT_EQ(database.allStreams().size(), 1u) << "a second Add adds nothing";
    });
    ASSERT_FALSE(url.empty());
    ASSERT_EQ(dialog.rowCount(), 1);
    EXPECT_EQ(dialog.row(0)->mainText(), QString("Found")) << "the list shows the new category";
    EXPECT_TRUE(dialog.isVisible()) << "Add keeps the radio dialog open";
    // From "Found" the station is chosen like any other (which is how a preset takes it).
    test::tapRow(dialog.list(), 0);
    test::tapRow(dialog.list(), 1);
    ASSERT_NE(dialog.chosenStream(), nullptr);
    EXPECT_EQ(toUtf8(dialog.chosenStream()->url), url);
    ASSERT_TRUE(database.Close());
  }
  RadioDatabase reopened;
  ASSERT_TRUE(reopened.OpenUserLibrary(userFile));
  ASSERT_EQ(reopened.allStreams().size(), 1u);
  const StreamInfo* kept = reopened.allStreams().front();
  EXPECT_EQ(toUtf8(kept->url), url);
  EXPECT_EQ(kept->radio->category->name, u"Found");
}

TEST_F(FindStationsDialogTest, PlayChoosesTheStationAndCountsOneClick) {
  RadioDatabase database;
  std::string uuid;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<RadioDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    openFinder(*dialog, [&](FindStationsDialog* finder) {
      search(finder, QString::fromUtf8("Радио"));
      ASSERT_TRUE(waitFor([finder] { return !finder->searching(); }));
      ASSERT_EQ(finder->list()->topLevelItemCount(), 1);
      EXPECT_EQ(finder->list()->topLevelItem(0)->text(0), QString::fromUtf8("Радио Джаз ♫"));
      uuid = "50000000-0000-4000-8000-000000000002";
      finder->playButton()->click();
    });
  });
  const StreamInfo* chosen = RadioDialog::choose(screen.get(), database);
  ASSERT_NE(chosen, nullptr);
  EXPECT_EQ(chosen->url, u"http://127.0.0.1:9/radio-jazz");
  EXPECT_TRUE(database.allStreams().empty()) << "playing adds nothing to the library";
  ASSERT_TRUE(waitFor([&] { return clicksFor(uuid) > 0; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(clicksFor(uuid), 1u);
}

TEST_F(FindStationsDialogTest, ASlowSearchCancelsAndAFailedOneSaysSoPlainly) {
  test::RecordingMessageBoxHost boxes;
  RadioDatabase database;
  FindStationsDialog finder(screen.get(), database);
  finder.show();
  m_home.setEnv(DirectoryMirrors::kEnvironmentVariable, m_server.url("slow"));
  search(&finder, "jazz");
  ASSERT_TRUE(waitFor([this] { return !m_server.requests().empty(); }));
  EXPECT_TRUE(finder.searching()) << "the search does not block the dialog";
  EXPECT_EQ(finder.searchButton()->text(), QString("Cancel"));
  finder.searchButton()->click();
  EXPECT_FALSE(finder.searching());
  EXPECT_EQ(finder.searchButton()->text(), QString("Search"));
  QApplication::processEvents();
  EXPECT_TRUE(boxes.shown.empty()) << "a cancelled search is no error";

  m_home.setEnv(DirectoryMirrors::kEnvironmentVariable, m_server.url("500"));
  search(&finder, "jazz");
  ASSERT_TRUE(waitFor([&] { return !finder.searching(); }));
  ASSERT_EQ(boxes.shown.size(), 1u);
  const std::string text = toUtf8(boxes.shown[0].text);
  EXPECT_EQ(text.rfind("The station directory cannot be reached.", 0), 0u) << text;
  EXPECT_NE(text.find("500"), std::string::npos) << "the reason is in the details: " << text;
  EXPECT_EQ(finder.statusLine()->text(), QString("The station directory cannot be reached."));
}

TEST_F(FindStationsDialogTest, EveryControlFitsTheSmallAndTheLargeScreen) {
  RadioDatabase database;
  for (const QSize size : {QSize(240, 320), QSize(640, 480), QSize(320, 240)}) {
    auto window = test::screenWindow(size.width(), size.height());
    FindStationsDialog finder(window.get(), database);
    finder.show();
    QApplication::processEvents();
    for (QWidget* control : std::initializer_list<QWidget*>{
             finder.textField(), finder.searchButton(), finder.list(), finder.categoryBox(),
             finder.addButton(), finder.playButton()}) {
      const QRect place(control->mapTo(&finder, QPoint(0, 0)), control->size());
      EXPECT_TRUE(finder.rect().contains(place))
          << control->objectName().toStdString() << " at " << size.width() << "x" << size.height();
      EXPECT_GE(control->width(), control->minimumSizeHint().width())
          << control->objectName().toStdString() << " at " << size.width();
    }
    EXPECT_GE(finder.list()->height(), finder.textField()->height()) << "the list has room";
  }
}

}  // namespace
}  // namespace orvel
