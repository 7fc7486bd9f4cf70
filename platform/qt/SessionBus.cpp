#include "platform/qt/SessionBus.h"

#include <QFileInfo>

namespace orvel {

QDBusConnection SessionBus::open(const QString& name) {
  QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
  if (address.isEmpty()) {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString socket = runtime + QStringLiteral("/bus");
    // libdbus would try to launch a bus; a desktop without one is left alone.
    if (runtime.isEmpty() || !QFileInfo(socket).exists()) return QDBusConnection(name);
    address = QStringLiteral("unix:path=") + socket;
  }
  return QDBusConnection::connectToBus(address, name);
}

void SessionBus::close(const QString& name) { QDBusConnection::disconnectFromBus(name); }

}  // namespace orvel
