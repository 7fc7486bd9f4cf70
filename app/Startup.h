#pragma once
// The program's entry: builds the process-wide objects in a fixed order, makes sure only one
// main window runs per user, hands the command line to whichever main window runs, runs the
// message loop, and tears everything down in a fixed order.
//
// Creation order: program directory, settings store (loaded from the registry), main window
// or the running instance. Clean-up order: main window, settings store (saved first).
// The codec registry, the radio database, the skin and the web-link class take their places
// in these orders as they land (see docs/architecture.md). UI thread only.

#include <memory>
#include <string>

#include "app/CommandLine.h"

namespace orvel {

class AlarmNotifier;
class InstanceServer;
class MainWindow;
class QtMessageBoxHost;
class Registry;
class RunningInstance;
class SettingsStore;
class TerminationSignals;

class Startup {
 public:
  static constexpr int kExitOk = 0;
  static constexpr int kExitFailed = -1;

  Startup(Registry& registry, LaunchArguments arguments);
  ~Startup();

  // Start-up up to the command line. False when it failed or another instance runs; finish()
  // then only cleans up.
  bool start();
  // Runs the message loop when this process made the main window, cleans up, and returns the
  // exit code: 0 when the loop ran, -1 otherwise.
  int finish();

  MainWindow* mainWindow() const { return m_window.get(); }
  const std::string& programDir() const { return m_programDir; }

  // 480 x 640 when the desktop is tall enough, else 240 x 320.
  static ScreenSize defaultScreen();

 private:
  bool createSettings();
  void findOrCreateMainWindow();
  void dispatchCommandLine();
  void cleanUp();

  Registry& m_registry;
  const LaunchArguments m_arguments;
  std::string m_programDir;
  std::unique_ptr<QtMessageBoxHost> m_boxes;
  std::unique_ptr<AlarmNotifier> m_notifier;
  std::unique_ptr<SettingsStore> m_settings;
  std::unique_ptr<MainWindow> m_window;             // when this process runs the loop
  std::unique_ptr<RunningInstance> m_runningInstance;  // when another process does
  std::unique_ptr<InstanceServer> m_instanceServer;
  std::unique_ptr<TerminationSignals> m_signals;
  bool m_cleanedUp = false;
};

}  // namespace orvel
