#pragma once
// The running instance's end of the single-instance channel: a per-user local socket named
// after the main window's class. A later start connects to it to bring this instance to the
// foreground and to hand over the alarm messages and the links it was given (see
// RunningInstance).
//
// Lines on the socket: "foreground", "post MESSAGE WPARAM LPARAM" in decimal, or "open LINK"
// (UTF-8). Unknown lines are dropped; a line longer than kMaxLineBytes ends the connection. Lives
// on the UI thread; its signals arrive there.

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace orvel {

class InstanceServer : public QObject {
  Q_OBJECT

 public:
  // Room for the longest address a browser hands over.
  static constexpr int kMaxLineBytes = 8192;

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
  void openRequested(const QString& link);

 private:
  void acceptConnections();
  void readLines(class QLocalSocket* socket);
  void handleLine(const QByteArray& line);

  QLocalServer m_server;
};

}  // namespace orvel
