#include "platform/qt/DesktopNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

#include "platform/qt/SessionBus.h"

namespace orvel {
namespace {

constexpr int kServerChoosesTimeout = -1;

}  // namespace

DesktopNotifier::DesktopNotifier(QString appName, QString icon, QString desktopEntry)
    : m_appName(std::move(appName)),
      m_icon(std::move(icon)),
      m_desktopEntry(std::move(desktopEntry)),
      m_connectionName(QStringLiteral("orvel-notify-%1").arg(reinterpret_cast<quintptr>(this))),
      m_bus(QString()) {}

DesktopNotifier::~DesktopNotifier() { SessionBus::close(m_bus); }

bool DesktopNotifier::start() {
  m_bus = SessionBus::open(m_connectionName);
  return m_bus.isConnected();
}

void DesktopNotifier::show(const QString& summary, const QString& body) {
  if (!m_bus.isConnected()) return;
  if (m_waiting) {
    m_next.emplace(summary, body);
    return;
  }
  send(summary, body);
}

void DesktopNotifier::send(const QString& summary, const QString& body) {
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.Notifications"),
      QStringLiteral("/org/freedesktop/Notifications"),
      QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
  QVariantMap hints;
  hints.insert(QStringLiteral("desktop-entry"), m_desktopEntry);
  call << m_appName << m_lastId << m_icon << summary << body << QStringList() << hints
       << kServerChoosesTimeout;
  m_waiting = true;
  auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
    w->deleteLater();
    const QDBusPendingReply<uint> reply = *w;
    if (!reply.isError()) m_lastId = reply.value();
    m_waiting = false;
    if (m_next) {
      const auto [summary, body] = *std::exchange(m_next, std::nullopt);
      send(summary, body);
    }
  });
}

}  // namespace orvel
