#pragma once
// The program's main window, class "OrvelRadio", titled "Orvel Radio". Its client area is the
// "screen". Until the player screen lands it lists the messages it receives (1025 alarm on,
// 1026 alarm off) in its client area.
//
// post() may be called from any thread: it queues an event that the UI thread handles.

#include <QMainWindow>
#include <vector>

#include "app/CommandLine.h"
#include "platform/MessageTarget.h"

class QListWidget;

namespace orvel {

class MainWindow : public QMainWindow, public MessageTarget {
  Q_OBJECT

 public:
  static constexpr int kExitCommand = 40004;

  explicit MainWindow(ScreenSize screen);
  ~MainWindow() override;

  bool post(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  void bringToForeground();

  // The messages handled so far, in order.
  const std::vector<Message>& receivedMessages() const { return m_received; }

 signals:
  void messageHandled(quint32 message, quint64 wParam, qint64 lParam);

 protected:
  bool event(QEvent* event) override;

 private:
  void handleMessage(const Message& message);
  void command(int id);

  QListWidget* m_log;
  std::vector<Message> m_received;
};

}  // namespace orvel
