#pragma once
// A session bus of the test's own (dbus-daemon --session), ended with the object, and the
// desktop tools that talk to it: playerctl for the media player, dbus-monitor recording the
// signals. The tools run while the event loop turns, so the program in this process answers.

#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>

namespace orvel::test {

class PrivateSessionBus {
 public:
  PrivateSessionBus();
  ~PrivateSessionBus();

  // The bus's address; empty when the daemon could not be started.
  const QString& address() const { return m_address; }

  // playerctl -p OrvelRadio ARGS on this bus; its trimmed output.
  QString playerctl(const QStringList& arguments) const;
  // A call of the media player's method (gdbus), or a read of one of its player properties
  // ("(<true>,)"); the trimmed output.
  QString callPlayer(const QString& method) const;
  QString playerProperty(const QString& name) const;
  // Starts recording every PropertiesChanged signal on the bus.
  void monitorPropertyChanges();
  // What the recorder printed so far.
  QString monitored();

 private:
  QString run(const QString& program, const QStringList& arguments) const;

  QProcess m_daemon;
  std::unique_ptr<QProcess> m_monitor;
  QString m_address;
  QString m_monitorOutput;
};

}  // namespace orvel::test
