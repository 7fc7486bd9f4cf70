#include "platform/qt/MprisRootAdaptor.h"

#include "platform/qt/MprisService.h"

namespace orvel {

MprisRootAdaptor::MprisRootAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), m_service(service) {}

QString MprisRootAdaptor::identity() const { return QStringLiteral("Orvel Radio"); }

QString MprisRootAdaptor::desktopEntry() const { return m_service->desktopEntry(); }

QStringList MprisRootAdaptor::supportedUriSchemes() const {
  return {QStringLiteral("http"), QStringLiteral("https")};
}

QStringList MprisRootAdaptor::supportedMimeTypes() const { return m_service->mimeTypes(); }

void MprisRootAdaptor::Raise() { m_service->control().mediaRaise(); }

void MprisRootAdaptor::Quit() { m_service->control().mediaQuit(); }

}  // namespace orvel
