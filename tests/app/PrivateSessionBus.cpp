#include "tests/app/PrivateSessionBus.h"

#include "tests/app/RunningProgram.h"

namespace orvel::test {

PrivateSessionBus::PrivateSessionBus() {
  testApplication();
  m_daemon.start(
      QStringLiteral("dbus-daemon"),
      {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
  if (!m_daemon.waitForStarted(5000)) return;
  waitUntil([this] { return m_daemon.canReadLine() || m_daemon.state() != QProcess::Running; },
            5000);
  m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
}

PrivateSessionBus::~PrivateSessionBus() {
  for (QProcess* process : {m_monitor.get(), &m_daemon}) {
    if (process == nullptr || process->state() == QProcess::NotRunning) continue;
    process->kill();
    process->waitForFinished(5000);
  }
}

QString PrivateSessionBus::playerctl(const QStringList& arguments) const {
  return run(QStringLiteral("playerctl"),
             QStringList{QStringLiteral("-p"), QStringLiteral("OrvelRadio")} + arguments);
}

QString PrivateSessionBus::callPlayer(const QString& method) const {
  return run(QStringLiteral("gdbus"),
             {"call", "--session", "--dest", "org.mpris.MediaPlayer2.OrvelRadio", "--object-path",
              "/org/mpris/MediaPlayer2", "--method", method});
}

QString PrivateSessionBus::playerProperty(const QString& name) const {
  return run(QStringLiteral("gdbus"),
             {"call", "--session", "--dest", "org.mpris.MediaPlayer2.OrvelRadio", "--object-path",
              "/org/mpris/MediaPlayer2", "--method", "org.freedesktop.DBus.Properties.Get",
              "org.mpris.MediaPlayer2.Player", name});
}

QString PrivateSessionBus::run(const QString& program, const QStringList& arguments) const {
  QProcess tool;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
  tool.setProcessEnvironment(environment);
  tool.start(program, arguments);
  if (!waitUntil([&] { return tool.state() == QProcess::NotRunning; }, 10000)) {
    tool.kill();
    tool.waitForFinished(5000);
  }
  return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

void PrivateSessionBus::monitorPropertyChanges() {
  m_monitor = std::make_unique<QProcess>();
  m_monitor->start(QStringLiteral("dbus-monitor"),
                   {QStringLiteral("--address"), m_address,
                    QStringLiteral("type='signal',member='PropertiesChanged'")});
  m_monitor->waitForStarted(5000);
  // The match rule is in place once the monitor has said hello to the bus.
  waitUntil([this] { return monitored().contains(QStringLiteral("NameAcquired")); }, 5000);
}

QString PrivateSessionBus::monitored() {
  if (m_monitor) m_monitorOutput += QString::fromUtf8(m_monitor->readAllStandardOutput());
  return m_monitorOutput;
}

}  // namespace orvel::test
