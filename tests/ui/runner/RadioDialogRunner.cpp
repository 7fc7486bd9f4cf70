// radio-dialog-runner: runs the radio dialog on its own, for trying it by hand.
//
//   radio-dialog-runner [--screen WxH] [LIBRARY.rrd]
//
// Opens the library (the shipped one of the source tree by default) in memory, runs the dialog
// over a window of the screen's size (240x320 by default) and prints the chosen stream's URL.
// Nothing is written back. Exit status 0 when a stream was chosen, 1 otherwise.
#include <QApplication>
#include <QWidget>
#include <cstdio>

#include "platform/qt/QtMessageBoxHost.h"
#include "ui/RadioDialog.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QSize screen(240, 320);
  QString library = QStringLiteral(ORVEL_SOURCE_DIR "/resources/Radios/default.rrd");
  const QStringList args = QApplication::arguments();
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == QStringLiteral("--screen") && i + 1 < args.size()) {
      const QStringList parts = args[++i].split(u'x');
      if (parts.size() == 2) screen = QSize(parts[0].toInt(), parts[1].toInt());
    } else {
      library = args[i];
    }
  }
  orvel::QtMessageBoxHost boxes;
  orvel::MessageBoxHost::install(&boxes);
  orvel::RadioDatabase database;
  if (!database.OpenDefaultLibrary(library.toStdU16String())) {
    std::fprintf(stderr, "radio-dialog-runner: cannot read %s\n", qPrintable(library));
  }
  QWidget window;
  window.resize(screen);
  window.show();
  boxes.setOwner(&window);
  const orvel::StreamInfo* chosen = orvel::RadioDialog::choose(&window, database);
  orvel::MessageBoxHost::install(nullptr);
  if (chosen == nullptr) return 1;
  std::printf("%s\n", orvel::toUtf8(chosen->url).c_str());
  return 0;
}
