#pragma once
// The real program started in this test process on a private home: a program folder seeded
// from the shipped data, the null sound device, a folder notification store, and optionally
// a test stream in the radio library and in preset 1. Helpers wait on the event loop.

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "platform/Registry.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TempHome.h"

namespace orvel::test {

class RunningProgram {
 public:
  // The category and radio names under which the test stream is added to the library.
  static constexpr char16_t kCategory[] = u"Loopback";
  static constexpr char16_t kRadio[] = u"Loopback FM";

  // streamUrl: when not empty, added to the user's library and, with asPreset1, to preset 1.
  RunningProgram(ScreenSize screen, const std::string& streamUrl, bool asPreset1);
  ~RunningProgram();

  bool start() { return m_startup->start(); }
  MainWindow* window() const { return m_startup->mainWindow(); }
  Startup& startup() { return *m_startup; }
  Registry& registry() { return *m_registry; }
  TempHome& home() { return m_home; }
  const std::string& programDir() const { return m_programDir; }

  // Closes the window (when open) and finishes; the program's exit code.
  int stop();

 private:
  void addStream(const std::string& url, bool asPreset1);

  TempHome m_home;
  std::string m_programDir;
  std::unique_ptr<Registry> m_registry;
  std::unique_ptr<Startup> m_startup;
  bool m_finished = false;
};

// Runs the event loop until pred holds or timeoutMs passes; pred's last answer.
inline bool waitUntil(const std::function<bool()>& pred, int timeoutMs = 10000) {
  QElapsedTimer waited;
  waited.start();
  while (!pred()) {
    if (waited.elapsed() > timeoutMs) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

// Runs action once a modal dialog of type T is up (dialogs run their own nested loops);
// closes whatever modal dialog is still open after 15 s, so a failing test cannot hang.
template <typename T>
void whenModal(std::function<void(T*)> action) {
  auto* poll = new QTimer;
  auto waited = std::make_shared<QElapsedTimer>();
  waited->start();
  QObject::connect(poll, &QTimer::timeout, [poll, waited, action] {
    if (auto* dialog = dynamic_cast<T*>(QApplication::activeModalWidget())) {
      // The timer (and this lambda) may go while the action runs a nested loop.
      const std::function<void(T*)> act = action;
      poll->stop();
      poll->deleteLater();
      act(dialog);
    } else if (waited->elapsed() > 15000) {
      poll->stop();
      poll->deleteLater();
      if (QWidget* other = QApplication::activeModalWidget()) other->close();
    }
  });
  poll->start(20);
}

}  // namespace orvel::test
