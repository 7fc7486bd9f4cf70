#pragma once
// A stand-in desktop notification server (org.freedesktop.Notifications) on a test's bus that
// records every Notify call. A call that replaces nothing gets a new id; one that replaces an
// id keeps it, as a real server does.

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <vector>

namespace orvel::test {

struct NotifyCall {
  uint replacesId = 0;
  QString summary;
  QString body;
  uint answeredId = 0;
};

class NotificationRecorder : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  // Takes the server's name on the bus at that address; see registered().
  explicit NotificationRecorder(const QString& busAddress);
  ~NotificationRecorder() override;

  bool registered() const { return m_registered; }
  const std::vector<NotifyCall>& calls() const { return m_calls; }

 public slots:
  uint Notify(const QString& appName, uint replacesId, const QString& icon, const QString& summary,
              const QString& body, const QStringList& actions, const QVariantMap& hints,
              int timeoutMs);
  QStringList GetCapabilities();

 private:
  QDBusConnection m_bus;
  bool m_registered = false;
  uint m_lastId = 0;
  std::vector<NotifyCall> m_calls;
};

}  // namespace orvel::test
