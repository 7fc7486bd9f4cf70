#pragma once
// A private connection to the user's session bus, for the services the program offers there.
// The bus is the one DBUS_SESSION_BUS_ADDRESS names, else $XDG_RUNTIME_DIR/bus when that socket
// exists; nothing is launched when there is none. UI thread only; connecting blocks for the
// bus's greeting, which a local daemon answers at once.

#include <QDBusConnection>
#include <QString>

namespace orvel {

class SessionBus {
 public:
  // The connection under that name; not connected when no bus is there (and then Qt's bus
  // thread is never started).
  static QDBusConnection open(const QString& name);
  // Ends a connection that open made; nothing for one that found no bus.
  static void close(const QDBusConnection& bus);
};

}  // namespace orvel
