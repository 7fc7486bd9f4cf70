#pragma once
// The running instance's end of the single-instance channel: a per-user local socket named
// after the main window's class. A later start connects to it to bring this instance to the
// foreground and to hand over the alarm messages (see RunningInstance).
//
// Lines on the socket: "foreground", or "post MESSAGE WPARAM LPARAM" in decimal. Unknown or
// overlong lines are dropped. Lives on the UI thread; its signals arrive there.

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace orvel {

class InstanceServer : public QObject {
  Q_OBJECT

 public:
  static constexpr int kMaxLineBytes = 128;

  // $XDG_RUNTIME_DIR/OrvelRadio, else <temp>/OrvelRadio-<uid>.
  static QString socketPath();

  explicit InstanceServer(QObject* parent = nullptr);
  ~InstanceServer() override;

  // Starts listening; takes over a socket that a crashed instance left behind. False when
  // another live instance holds the socket.
  bool listen();

 signals:
  void foregroundRequested();
  void messageReceived(quint32 message, quint64 wParam, qint64 lParam);

 private:
  void acceptConnections();
  void readLines(class QLocalSocket* socket);
  void handleLine(const QByteArray& line);

  QLocalServer m_server;
};

}  // namespace orvel
