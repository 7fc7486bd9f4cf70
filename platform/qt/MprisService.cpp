#include "platform/qt/MprisService.h"

#include <QDBusMessage>
#include <QDBusObjectPath>

#include "platform/qt/MprisPlayerAdaptor.h"
#include "platform/qt/MprisRootAdaptor.h"
#include "platform/qt/SessionBus.h"

namespace orvel {
namespace {

// The title line splits at its first " - " into artist and title, as stations send them.
void splitTitle(const QString& line, QString* artist, QString* title) {
  const qsizetype dash = line.indexOf(QStringLiteral(" - "));
  if (dash < 0) {
    *title = line;
    return;
  }
  *artist = line.left(dash);
  *title = line.mid(dash + 3);
}

}  // namespace

MprisService::MprisService(MediaPlayerControl& control, QString desktopEntry, QStringList mimeTypes)
    : m_control(control),
      m_desktopEntry(std::move(desktopEntry)),
      m_mimeTypes(std::move(mimeTypes)),
      m_connectionName(QStringLiteral("orvel-mpris-%1").arg(reinterpret_cast<quintptr>(this))),
      m_bus(QString()) {
  new MprisRootAdaptor(this);
  new MprisPlayerAdaptor(this);
}

MprisService::~MprisService() {
  if (m_bus.isConnected()) {
    m_bus.unregisterService(QString::fromLatin1(kServiceName));
    m_bus.unregisterObject(QString::fromLatin1(kObjectPath));
  }
  SessionBus::close(m_bus);
}

bool MprisService::start() {
  m_bus = SessionBus::open(m_connectionName);
  if (!m_bus.isConnected()) return false;
  m_state = m_control.mediaState();
  if (!m_bus.registerObject(QString::fromLatin1(kObjectPath), this,
                            QDBusConnection::ExportAdaptors)) {
    return false;
  }
  return m_bus.registerService(QString::fromLatin1(kServiceName));
}

QString MprisService::playbackStatus() const {
  switch (m_state.status) {
    case MediaPlayerState::Status::Playing:
      return QStringLiteral("Playing");
    case MediaPlayerState::Status::Paused:
      return QStringLiteral("Paused");
    case MediaPlayerState::Status::Stopped:
      break;
  }
  return QStringLiteral("Stopped");
}

QVariantMap MprisService::metadata() const {
  QVariantMap map;
  if (m_state.url.isEmpty()) {
    map.insert(QStringLiteral("mpris:trackid"),
               QVariant::fromValue(QDBusObjectPath("/org/mpris/MediaPlayer2/TrackList/NoTrack")));
    return map;
  }
  map.insert(QStringLiteral("mpris:trackid"),
             QVariant::fromValue(
                 QDBusObjectPath(QStringLiteral("/org/orvel/Radio/track/%1").arg(m_track))));
  QString artist, title;
  splitTitle(m_state.title, &artist, &title);
  if (!title.isEmpty()) map.insert(QStringLiteral("xesam:title"), title);
  if (!artist.isEmpty()) map.insert(QStringLiteral("xesam:artist"), QStringList{artist});
  if (!m_state.station.isEmpty()) map.insert(QStringLiteral("xesam:album"), m_state.station);
  map.insert(QStringLiteral("xesam:url"), m_state.url);
  return map;
}

void MprisService::refresh() {
  const MediaPlayerState now = m_control.mediaState();
  if (now == m_state) return;
  const MediaPlayerState before = m_state;
  m_state = now;
  if (now.title != before.title || now.url != before.url || now.station != before.station) {
    ++m_track;
  }
  if (!m_bus.isConnected()) return;
  const QVariantMap changed = changedPlayerProperties(before);
  if (changed.isEmpty()) return;
  QDBusMessage signal = QDBusMessage::createSignal(
      QString::fromLatin1(kObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
      QStringLiteral("PropertiesChanged"));
  signal << QString::fromLatin1(kPlayerInterface) << changed << QStringList();
  m_bus.send(signal);
}

QVariantMap MprisService::changedPlayerProperties(const MediaPlayerState& before) const {
  QVariantMap changed;
  const MediaPlayerState& now = m_state;
  if (now.status != before.status)
    changed.insert(QStringLiteral("PlaybackStatus"), playbackStatus());
  if (now.title != before.title || now.url != before.url || now.station != before.station) {
    changed.insert(QStringLiteral("Metadata"), metadata());
  }
  if (now.volume != before.volume) changed.insert(QStringLiteral("Volume"), now.volume);
  if (now.canPlay != before.canPlay) changed.insert(QStringLiteral("CanPlay"), now.canPlay);
  if (now.canPause != before.canPause) changed.insert(QStringLiteral("CanPause"), now.canPause);
  if (now.canGoNext != before.canGoNext) changed.insert(QStringLiteral("CanGoNext"), now.canGoNext);
  if (now.canGoPrevious != before.canGoPrevious) {
    changed.insert(QStringLiteral("CanGoPrevious"), now.canGoPrevious);
  }
  return changed;
}

}  // namespace orvel
