#include "ui/ToolkitHelpers.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include "resources/StringTable.h"

namespace orvel::toolkit {

namespace {
QString& helpFileSlot() {
  static QString file;
  return file;
}
}  // namespace

QString loadString(uint16_t id) { return toQString(StringTable::load(id)); }

int borderWidth(QSize screen) { return std::min(screen.width(), screen.height()) >= 480 ? 2 : 1; }

bool isHighResolution(QSize screen) { return screen.width() > 639 || screen.height() > 639; }

QFont toolkitFont(bool bold, int heightFactor, int k, bool smooth) {
  QFont font = QApplication::font();
  font.setPixelSize(std::max(1, heightFactor * k));
  font.setBold(bold);
  font.setStyleStrategy(smooth ? QFont::PreferAntialias : QFont::NoAntialias);
  return font;
}

std::optional<WString> lastComponent(WStringView path) {
  const size_t slash = path.rfind(u'/');
  if (slash == WStringView::npos) return std::nullopt;
  return WString(path.substr(slash + 1));
}

WString joinPaths(WStringView base, WStringView name) {
  WString joined(base);
  if (joined.empty() || joined.back() != u'/') joined += u'/';
  if (!name.empty() && name.front() == u'/') name.remove_prefix(1);
  joined += name;
  return joined;
}

void setHelpFile(const QString& path) { helpFileSlot() = path; }

const QString& helpFile() { return helpFileSlot(); }

bool showHelp(const QString& file, const QString& topic) {
  if (file.isEmpty() || !QFileInfo::exists(file)) return false;
  QUrl url = QUrl::fromLocalFile(file);
  url.setFragment(topic.isEmpty() ? QStringLiteral("Main_Contents") : topic);
  return QDesktopServices::openUrl(url);
}

}  // namespace orvel::toolkit
