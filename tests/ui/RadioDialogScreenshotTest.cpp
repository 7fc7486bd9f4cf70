// Paints the radio dialog in its typical states at both screen sizes into
// <build>/tests/ui/screenshots/, for a person to look at, and checks the row colours there.
#include <QApplication>
#include <QDir>
#include <QFrame>
#include <QMenu>
#include <QPainter>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "tests/ui/UiTestSupport.h"
#include "ui/ImportDialog.h"
#include "ui/RadioDialog.h"
#include "ui/RadioRowItem.h"

namespace orvel {
namespace {

QColor pixelOfRow(const RadioDialog& dialog, const QImage& shot, int row) {
  const QRect rect = dialog.list()->visualRect(dialog.list()->model()->index(row, 1));
  const QPoint inList = dialog.list()->viewport()->mapTo(&dialog, rect.topRight());
  return shot.pixelColor(inList + QPoint(-2, rect.height() / 2));
}

void save(const QImage& shot, const QString& name) {
  ASSERT_TRUE(QDir().mkpath("screenshots"));
  ASSERT_TRUE(shot.save("screenshots/" + name + ".png"));
}

int firstRowOfKind(const RadioDialog& dialog, int kind) {
  for (int i = 0; i < dialog.rowCount(); ++i) {
    if (dialog.row(i)->kind() == kind) return i;
  }
  return -1;
}

TEST(RadioDialogScreenshots, StatesAtBothSizes) {
  RadioDatabase database;
  ASSERT_TRUE(database.OpenDefaultLibrary(
      fromUtf8(ORVEL_SOURCE_DIR "/resources/Radios/default.rrd")));
  for (const QSize size : {QSize(240, 320), QSize(480, 640)}) {
    const QString tag = QString::number(size.width());
    auto screen = test::screenWindow(size.width(), size.height());
    RadioDialog dialog(screen.get(), database);
    dialog.show();
    QApplication::processEvents();
    save(dialog.grab().toImage(), "radio-" + tag + "-collapsed");

    test::tapRow(dialog.list(), 0);
    const QImage open = dialog.grab().toImage();
    save(open, "radio-" + tag + "-category-open");
    EXPECT_EQ(pixelOfRow(dialog, open, 0), QColor(16, 85, 181));  // the tapped row
    EXPECT_EQ(pixelOfRow(dialog, open, 1), QColor(185, 211, 255));
    EXPECT_EQ(pixelOfRow(dialog, open, firstRowOfKind(dialog, RadioRowItem::kRadio) +
                                           database.RadioCount(dialog.row(0)->category())),
              QColor(207, 207, 207));

    dialog.list()->setCurrentItem(dialog.row(1));
    dialog.sendCommand(RadioDialog::kCmdChangeStream);
    dialog.list()->setCurrentItem(dialog.row(2));
    QApplication::processEvents();
    const QImage streams = dialog.grab().toImage();
    save(streams, "radio-" + tag + "-radio-open");
    for (int i = 2; i < dialog.rowCount() && dialog.row(i)->kind() == RadioRowItem::kStream; ++i) {
      const RadioRowItem* row = dialog.row(i);
      EXPECT_EQ(row->has(RadioRowItem::kSelectedStream),
                row->stream() == row->radio()->selectedStream) << i;
    }
    if (dialog.rowCount() > 3 && dialog.row(3)->kind() == RadioRowItem::kStream) {
      EXPECT_EQ(pixelOfRow(dialog, streams, 3), QColor(214, 229, 253));
    }

    QTest::mouseClick(dialog.list()->viewport(), Qt::RightButton, {},
                      test::rowCentre(dialog.list(), 1));
    QMenu* menu = dialog.contextMenu();
    ASSERT_TRUE(menu->isVisible());
    QImage withMenu = dialog.grab().toImage();
    QPainter painter(&withMenu);
    painter.drawPixmap(dialog.mapFromGlobal(menu->pos()), menu->grab());
    painter.end();
    save(withMenu, "radio-" + tag + "-context-menu");
    menu->hide();

    ImportDialog import(screen.get(), database);
    import.show();
    QApplication::processEvents();
    save(import.grab().toImage(), "import-" + tag);
    EXPECT_EQ(import.headerLine()->width(), size.width());
  }
}

}  // namespace
}  // namespace orvel
