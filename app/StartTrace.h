#pragma once
// The start-up benchmark's probe: when ORVEL_RADIO_TRACE_START is "1", prints
// "first-paint MS" once on stderr, the milliseconds from the start of main() to the first paint
// of the main window or one of its children. Otherwise it does nothing.
//
// UI thread only.
#include <QElapsedTimer>
#include <QObject>

class QWidget;

namespace orvel {

class StartTrace : public QObject {
 public:
  // Made first thing in main(): the clock starts here.
  StartTrace();

  // Watches the application's paint events for window (null: nothing is printed).
  void watch(QWidget* window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QElapsedTimer m_clock;
  QWidget* m_window = nullptr;
  bool m_enabled;
};

}  // namespace orvel
