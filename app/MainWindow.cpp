#include "app/MainWindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLayout>
#include <QListWidget>
#include <QMenuBar>

#include "platform/AppKeys.h"

namespace orvel {
namespace {

const QEvent::Type kPostedMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class PostedMessageEvent : public QEvent {
 public:
  explicit PostedMessageEvent(const Message& message)
      : QEvent(kPostedMessageEvent), message(message) {}
  const Message message;
};

QString describe(const Message& message) {
  const auto wParam = static_cast<qint64>(static_cast<int32_t>(message.wParam));
  switch (message.message) {
    case kMsgAlarmOn:
      return QStringLiteral("Alarm on: preset %1 (message %2, wParam %3)")
          .arg(wParam + 1).arg(message.message).arg(wParam);
    case kMsgAlarmOff:
      return QStringLiteral("Alarm off: stop recording (message %1)").arg(message.message);
    default:
      return QStringLiteral("Message %1 (wParam %2, lParam %3)")
          .arg(message.message).arg(wParam).arg(static_cast<qint64>(message.lParam));
  }
}

}  // namespace

MainWindow::MainWindow(ScreenSize screen) : m_log(new QListWidget(this)) {
  setObjectName(QString::fromStdU16String(kMainWindowClass));
  setWindowTitle(QString::fromStdU16String(kProgramTitle));
  m_log->setFixedSize(screen.width, screen.height);
  setCentralWidget(m_log);
  QMenu* tools = menuBar()->addMenu(tr("Tools"));
  tools->addAction(tr("Exit"), this, [this] { command(kExitCommand); });
  // The screen has a fixed size: the window is not freely resizable.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

MainWindow::~MainWindow() = default;

bool MainWindow::post(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  QCoreApplication::postEvent(this, new PostedMessageEvent(Message{message, wParam, lParam}));
  return true;
}

void MainWindow::bringToForeground() {
  showNormal();
  raise();
  activateWindow();
}

bool MainWindow::event(QEvent* event) {
  if (event->type() == kPostedMessageEvent) {
    handleMessage(static_cast<PostedMessageEvent*>(event)->message);
    return true;
  }
  return QMainWindow::event(event);
}

void MainWindow::handleMessage(const Message& message) {
  m_received.push_back(message);
  m_log->addItem(describe(message));
  emit messageHandled(message.message, message.wParam, message.lParam);
}

void MainWindow::command(int id) {
  if (id == kExitCommand) close();
}

}  // namespace orvel
