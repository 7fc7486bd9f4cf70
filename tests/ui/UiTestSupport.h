#pragma once
// A small radio library and the pointer actions that the ui tests share.

#include <QAbstractItemView>
#include <QTest>
#include <QWidget>
#include <memory>

#include "library/RadioDatabase.h"
#include "tests/support/TestApplication.h"

namespace orvel::test {

// Jazz: "Blue Note" (streams 128 MP3 selected, 64 AAC), "Cool FM" (one stream, none selected);
// Rock: "Rock One" (one stream, selected, shipped); Talk: empty.
struct SmallLibrary {
  RadioDatabase database;
  const CategoryInfo* jazz;
  const CategoryInfo* rock;
  const RadioInfo* blueNote;
  const RadioInfo* coolFm;
  const RadioInfo* rockOne;
  const StreamInfo* blue128;
  const StreamInfo* blue64;

  SmallLibrary() {
    jazz = database.AddCategory({u"Jazz"}, false);
    rock = database.AddCategory({u"Rock"}, false);
    database.AddCategory({u"Talk"}, false);
    blueNote = database.AddRadio(jazz, {u"Blue Note", u"Blue"}, false);
    coolFm = database.AddRadio(jazz, {u"Cool FM", u""}, false);
    rockOne = database.AddRadio(rock, {u"Rock One", u""}, false);
    blue128 = add(blueNote, u"http://a/128", u"128", u"MP3", u"the good one", kOriginUser);
    blue64 = add(blueNote, u"http://a/64", u"64", u"AAC", u"low", kOriginUser);
    database.SetSelectedStream(blueNote, blue128);
    add(coolFm, u"http://c/96", u"96", u"OGG", u"", kOriginUser);
    database.SetSelectedStream(rockOne, add(rockOne, u"http://r/1", u"192", u"MP3", u"loud",
                                            kOriginShipped));
  }

  const StreamInfo* add(const RadioInfo* radio, const WString& url, const WString& bitrate,
                        const WString& format, const WString& comment, int32_t origin) {
    StreamInfo info;
    info.url = url;
    info.bitrate = bitrate;
    info.format = format;
    info.comment = comment;
    info.origin = origin;
    return database.AddStream(radio, info, false);
  }
};

// The player window stand-in whose size is the screen.
inline std::unique_ptr<QWidget> screenWindow(int width, int height) {
  testApplication();
  auto window = std::make_unique<QWidget>();
  window->resize(width, height);
  return window;
}

inline QPoint rowCentre(QAbstractItemView* list, int row) {
  return list->visualRect(list->model()->index(row, 1)).center();
}

inline void tapRow(QAbstractItemView* list, int row) {
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(list, row));
}

}  // namespace orvel::test
