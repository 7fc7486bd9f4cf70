// orvel-skin-painter: paints the four default skins (images and description files).
//
//   orvel-skin-painter [SKINS-FOLDER]
//
// SKINS-FOLDER defaults to resources/Skins of the source tree. Each skin goes to its own
// subfolder, replacing the files of the same names. The output depends only on this program
// and the DejaVu Sans font, so the skins can be improved here and painted again.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

#include "SkinArtist.h"
#include "SkinLayout.h"

using orvel::painter::SkinArtist;
using orvel::painter::SkinLayout;

int main(int argc, char** argv) {
  // Painting needs fonts but no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(ORVEL_SKINS_DIR);
  const SkinLayout layouts[] = {SkinLayout::portrait(1), SkinLayout::landscape(1),
                                SkinLayout::portrait(2), SkinLayout::landscape(2)};
  for (const SkinLayout& layout : layouts) {
    const QString folder = root + "/" + layout.folder;
    QFile description(folder + "/default.rs");
    if (!QDir().mkpath(folder) || !SkinArtist(layout).paintAll(folder) ||
        !description.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        description.write(layout.description()) < 0) {
      std::fprintf(stderr, "orvel-skin-painter: cannot write %s\n", qPrintable(folder));
      return 1;
    }
    std::printf("%s\n", qPrintable(folder));
  }
  return 0;
}
