#include "ui/DesktopLinkOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace orvel {

bool DesktopLinkOpener::openInBrowser(const WString& link) {
  const QUrl url = QUrl::fromUserInput(QString::fromStdU16String(link));
  return url.isValid() && QDesktopServices::openUrl(url);
}

bool DesktopLinkOpener::openMail(const WString& address) {
  QUrl url;
  url.setScheme(QStringLiteral("mailto"));
  url.setPath(QString::fromStdU16String(address));
  return QDesktopServices::openUrl(url);
}

}  // namespace orvel
