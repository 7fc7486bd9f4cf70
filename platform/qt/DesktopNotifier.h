#pragma once
// Desktop notifications (org.freedesktop.Notifications on the session bus). Each notification
// replaces the one shown before, so they never pile up: the server's id of the last one goes
// with the next. While a Notify call waits for its reply (and so for its id), only the newest
// of the notifications that come meanwhile is kept, and it is sent once the id is known.
// Without a session bus or a notification server nothing is shown and nothing fails.
// UI thread only: the replies arrive on the event loop.

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <optional>
#include <utility>

namespace orvel {

class DesktopNotifier : public QObject {
  Q_OBJECT

 public:
  // appName: shown by the server; icon and desktopEntry: the installed names.
  DesktopNotifier(QString appName, QString icon, QString desktopEntry);
  ~DesktopNotifier() override;

  // Connects to the session bus; false when there is none.
  bool start();
  void show(const QString& summary, const QString& body);

  // The server's id of the notification shown last; 0 before the first reply.
  uint lastId() const { return m_lastId; }

 private:
  void send(const QString& summary, const QString& body);

  const QString m_appName;
  const QString m_icon;
  const QString m_desktopEntry;
  const QString m_connectionName;
  QDBusConnection m_bus;
  uint m_lastId = 0;
  bool m_waiting = false;                             // a Notify call has not been answered yet
  std::optional<std::pair<QString, QString>> m_next;  // summary and body sent after the answer
};

}  // namespace orvel
