#include "platform/qt/RunningInstance.h"

#include "platform/qt/InstanceServer.h"

namespace orvel {
namespace {
constexpr int kTimeoutMs = 1000;
}

std::unique_ptr<RunningInstance> RunningInstance::find() {
  std::unique_ptr<RunningInstance> instance(new RunningInstance());
  instance->m_socket.connectToServer(InstanceServer::socketPath());
  if (!instance->m_socket.waitForConnected(kTimeoutMs)) return nullptr;
  return instance;
}

RunningInstance::~RunningInstance() {
  if (m_socket.state() == QLocalSocket::ConnectedState) {
    m_socket.flush();
    m_socket.disconnectFromServer();
    if (m_socket.state() != QLocalSocket::UnconnectedState) {
      m_socket.waitForDisconnected(kTimeoutMs);
    }
  }
}

bool RunningInstance::send(const QByteArray& line) {
  if (m_socket.write(line + '\n') < 0) return false;
  while (m_socket.bytesToWrite() > 0) {
    if (!m_socket.waitForBytesWritten(kTimeoutMs)) return false;
  }
  return true;
}

bool RunningInstance::bringToForeground() { return send("foreground"); }

bool RunningInstance::post(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return send("post " + QByteArray::number(message) + ' ' +
              QByteArray::number(static_cast<quint64>(wParam)) + ' ' +
              QByteArray::number(static_cast<qint64>(lParam)));
}

bool RunningInstance::openLink(const QString& link) {
  if (link.contains(QLatin1Char('\n')) || link.contains(QLatin1Char('\r'))) return false;
  return send("open " + link.toUtf8());
}

}  // namespace orvel
