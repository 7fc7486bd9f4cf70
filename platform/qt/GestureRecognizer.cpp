#include "platform/qt/GestureRecognizer.h"

#include <QApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

namespace orvel {
namespace {

// Ends the wait at the release or at a move beyond the drag distance.
class PressWatcher : public QObject {
 public:
  PressWatcher(QEventLoop& loop, const QPoint& start) : m_loop(loop), m_start(start) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonRelease) {
      m_loop.quit();
    } else if (event->type() == QEvent::MouseMove) {
      const QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
      if ((at - m_start).manhattanLength() > QApplication::startDragDistance()) m_loop.quit();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QEventLoop& m_loop;
  const QPoint m_start;
};

}  // namespace

bool GestureRecognizer::isTapAndHold(QWidget* window, const QPoint& globalPos) {
  if (window == nullptr) return false;
  QEventLoop loop;
  bool held = false;
  QTimer timer;
  timer.setSingleShot(true);
  QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
    held = true;
    loop.quit();
  });
  PressWatcher watcher(loop, globalPos);
  qApp->installEventFilter(&watcher);
  timer.start(kHoldMs);
  loop.exec();
  qApp->removeEventFilter(&watcher);
  return held;
}

}  // namespace orvel
