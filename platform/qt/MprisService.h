#pragma once
// The player on the session bus as an MPRIS 2 media player ("org.mpris.MediaPlayer2.OrvelRadio",
// object /org/mpris/MediaPlayer2 with the root and player interfaces), so that media keys,
// desktop panels and playerctl control it. The owner calls refresh() whenever the player may
// have changed; every property that changed since the last refresh is signalled in one
// PropertiesChanged per interface.
//
// UI thread only: the bus's calls arrive from the event loop. Without a session bus start()
// fails and nothing else happens.

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include "platform/qt/MediaPlayerControl.h"

namespace orvel {

class MprisService : public QObject {
  Q_OBJECT

 public:
  static constexpr char kServiceName[] = "org.mpris.MediaPlayer2.OrvelRadio";
  static constexpr char kObjectPath[] = "/org/mpris/MediaPlayer2";
  static constexpr char kRootInterface[] = "org.mpris.MediaPlayer2";
  static constexpr char kPlayerInterface[] = "org.mpris.MediaPlayer2.Player";

  // control: not owned, outlives the service. desktopEntry: the installed entry's name without
  // ".desktop". mimeTypes: the stream and playlist types the player takes.
  MprisService(MediaPlayerControl& control, QString desktopEntry, QStringList mimeTypes);
  ~MprisService() override;

  // Connects to the session bus, exports the object and takes the name. False when there is
  // no bus or the name is taken.
  bool start();
  void refresh();

  MediaPlayerControl& control() const { return m_control; }
  const QString& desktopEntry() const { return m_desktopEntry; }
  const QStringList& mimeTypes() const { return m_mimeTypes; }
  // The player's state, published first when it changed; and what the player interface shows of
  // the state last published.
  const MediaPlayerState& current() {
    refresh();
    return m_state;
  }
  QString playbackStatus() const;
  QVariantMap metadata() const;

 private:
  QVariantMap changedPlayerProperties(const MediaPlayerState& before) const;

  MediaPlayerControl& m_control;
  const QString m_desktopEntry;
  const QStringList m_mimeTypes;
  const QString m_connectionName;
  QDBusConnection m_bus;
  MediaPlayerState m_state;
  quint64 m_track = 0;  // numbers the track ids: a new title or stream is a new track
};

}  // namespace orvel
