#include "platform/qt/SessionBus.h"

#include <QFileInfo>

namespace orvel {

QDBusConnection SessionBus::open(const QString& name) {
  QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
  if (address.isEmpty()) {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString socket = runtime + QStringLiteral("/bus");
    // libdbus would try to launch a bus; a desktop without one is left alone. A connection
    // without a name never starts Qt's bus thread.
    if (runtime.isEmpty() || !QFileInfo(socket).exists()) return QDBusConnection(QString());
    address = QStringLiteral("unix:path=") + socket;
  }
  return QDBusConnection::connectToBus(address, name);
}

void SessionBus::close(const QDBusConnection& bus) {
  if (!bus.name().isEmpty()) QDBusConnection::disconnectFromBus(bus.name());
}

}  // namespace orvel
