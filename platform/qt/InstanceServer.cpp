#include "platform/qt/InstanceServer.h"

#include <unistd.h>

#include <QDir>
#include <QLocalSocket>

#include "platform/AppKeys.h"

namespace orvel {

QString InstanceServer::socketPath() {
  const QString name = QString::fromStdU16String(kMainWindowClass);
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QDir(QString::fromLocal8Bit(runtime)).exists()) {
    return QString::fromLocal8Bit(runtime) + "/" + name;
  }
  return QDir::tempPath() + "/" + name + "-" + QString::number(::getuid());
}

InstanceServer::InstanceServer(QObject* parent) : QObject(parent) {
  m_server.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&m_server, &QLocalServer::newConnection, this, &InstanceServer::acceptConnections);
}

InstanceServer::~InstanceServer() { m_server.close(); }

bool InstanceServer::listen() {
  const QString path = socketPath();
  if (m_server.listen(path)) return true;
  if (m_server.serverError() != QAbstractSocket::AddressInUseError) return false;
  // Someone holds the name: a live instance answers, a crashed one left a dead socket file.
  QLocalSocket probe;
  probe.connectToServer(path);
  if (probe.waitForConnected(1000)) return false;
  QLocalServer::removeServer(path);
  return m_server.listen(path);
}

void InstanceServer::acceptConnections() {
  while (QLocalSocket* socket = m_server.nextPendingConnection()) {
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readLines(socket); });
    connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
      readLines(socket);
      socket->deleteLater();
    });
    readLines(socket);
  }
}

void InstanceServer::readLines(QLocalSocket* socket) {
  while (socket->canReadLine()) {
    const QByteArray line = socket->readLine(kMaxLineBytes + 1);
    if (line.endsWith('\n')) handleLine(line.trimmed());
  }
  // A peer that sends a line longer than any valid one is not one of ours.
  if (socket->bytesAvailable() > kMaxLineBytes) socket->abort();
}

void InstanceServer::handleLine(const QByteArray& line) {
  if (line == "foreground") {
    emit foregroundRequested();
    return;
  }
  if (line.startsWith("open ")) {
    emit openRequested(QString::fromUtf8(line.mid(5)));
    return;
  }
  const QList<QByteArray> parts = line.split(' ');
  if (parts.size() != 4 || parts[0] != "post") return;
  bool ok1 = false, ok2 = false, ok3 = false;
  const quint32 message = parts[1].toUInt(&ok1);
  const quint64 wParam = parts[2].toULongLong(&ok2);
  const qint64 lParam = parts[3].toLongLong(&ok3);
  if (ok1 && ok2 && ok3) emit messageReceived(message, wParam, lParam);
}

}  // namespace orvel
