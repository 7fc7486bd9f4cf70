#pragma once
// The program's entry: builds the process-wide objects in a fixed order, makes sure only one
// main window runs per user, hands the command line to whichever main window runs, runs the
// message loop, and tears everything down in a fixed order.
//
// Creation order: program directory, codec registry, settings store (loaded from the registry),
// radio database (shipped library, user's library, presets), the skin (with the first-run
// clean-up), main window or the running instance. Clean-up order: main window, skin, settings
// store (saved first), radio database (saved first), codec registry. The web-link control takes
// its place as it lands (see docs/architecture.md).
//
// SIGTERM and SIGINT end the program as "Exit" does, at any time: the open box or dialog is
// closed (and any that opens after it), then the main window; settings are saved and the exit
// code is 0. UI thread only.

#include <memory>
#include <optional>
#include <string>

#include "app/CommandLine.h"

class QTimer;

namespace orvel {

class AlarmNotifier;
class ImageDecoder;
class InstanceServer;
class MainWindow;
class RadioDatabase;
class QtMessageBoxHost;
class Registry;
class RunningInstance;
class SettingsStore;
class SkinDescription;
class SkinList;
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
  // exit code: 0 when the loop ran or a termination signal ended start-up, -1 otherwise.
  int finish();

  MainWindow* mainWindow() const { return m_window.get(); }
  const std::string& programDir() const { return m_programDir; }
  SkinDescription* skin() const { return m_skin.get(); }
  RadioDatabase* database() const { return m_database.get(); }
  SettingsStore* settings() const { return m_settings.get(); }

  // 480 x 640 when the desktop is tall enough, else 240 x 320.
  static ScreenSize defaultScreen();
  // The screen of the last main window (registry value "Screen", "WIDTHxHEIGHT"), if any.
  static std::optional<ScreenSize> storedScreen(Registry& registry);
  static void storeScreen(Registry& registry, ScreenSize screen);

 private:
  bool createSettings();
  void openDatabase();
  bool loadSkin();
  static void chooseSkin(SkinList& list, int screenWidth, int screenHeight);
  void findOrCreateMainWindow();
  void dispatchCommandLine();
  void cleanUp();
  void terminate();
  void closeForTermination();

  static constexpr int kTerminationPollMs = 20;

  Registry& m_registry;
  const LaunchArguments m_arguments;
  ScreenSize m_screen;
  std::string m_programDir;
  std::unique_ptr<QtMessageBoxHost> m_boxes;
  std::unique_ptr<AlarmNotifier> m_notifier;
  std::unique_ptr<SettingsStore> m_settings;
  std::unique_ptr<RadioDatabase> m_database;
  std::unique_ptr<ImageDecoder> m_imageDecoder;
  std::unique_ptr<SkinDescription> m_skin;             // decodes its images through m_imageDecoder
  std::unique_ptr<MainWindow> m_window;                // when this process runs the loop
  std::unique_ptr<RunningInstance> m_runningInstance;  // when another process does
  std::unique_ptr<InstanceServer> m_instanceServer;
  std::unique_ptr<TerminationSignals> m_signals;
  std::unique_ptr<QTimer> m_terminationTimer;  // runs from the first termination signal
  bool m_terminating = false;
  bool m_windowClosing = false;
  bool m_cleanedUp = false;
};

}  // namespace orvel
