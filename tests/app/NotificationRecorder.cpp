#include "tests/app/NotificationRecorder.h"

namespace orvel::test {
namespace {
const QString kConnection = QStringLiteral("test-notification-server");
}

NotificationRecorder::NotificationRecorder(const QString& busAddress)
    : m_bus(QDBusConnection::connectToBus(busAddress, kConnection)) {
  m_registered = m_bus.isConnected() &&
                 m_bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                                      QDBusConnection::ExportAllSlots) &&
                 m_bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
}

NotificationRecorder::~NotificationRecorder() { QDBusConnection::disconnectFromBus(kConnection); }

uint NotificationRecorder::Notify(const QString&, uint replacesId, const QString&,
                                  const QString& summary, const QString& body, const QStringList&,
                                  const QVariantMap&, int) {
  const uint id = replacesId != 0 ? replacesId : ++m_lastId;
  m_calls.push_back(NotifyCall{replacesId, summary, body, id});
  return id;
}

QStringList NotificationRecorder::GetCapabilities() { return {QStringLiteral("body")}; }

}  // namespace orvel::test
