#include "platform/qt/IdleTimer.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace orvel {

void IdleTimer::reset() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  bus.send(QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"),
                                          QStringLiteral("/org/freedesktop/ScreenSaver"),
                                          QStringLiteral("org.freedesktop.ScreenSaver"),
                                          QStringLiteral("SimulateActivity")));
}

}  // namespace orvel
