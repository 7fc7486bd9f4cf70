#pragma once
// The program's main window, class "OrvelRadio", titled "Orvel Radio". Its client area is the
// "screen" (one of 240 x 320, 320 x 240, 480 x 640, 640 x 480), which holds the two skinned
// panels of the player screen. It carries the menu bar ("Open", "Tools", "Record"), turns
// commands into dialogs and player actions, receives the alarm messages (1025 plays a preset
// with retries, 1026 stops the recording), and lays the skin out again when the screen turns
// ("Rotate", Ctrl+R, swaps width and height).
//
// UI thread only, except post(), which any thread may call: it queues the message for the UI
// thread.

#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "library/RadioInfo.h"
#include "library/StreamInfo.h"
#include "platform/MessageTarget.h"
#include "ui/PlayerHost.h"
#include "ui/PresetsHost.h"
#include "ui/ToolkitFrameWindow.h"

namespace orvel {

class AlarmNotifier;
class DesktopIntegration;
class MainPanelControl;
class PresetsPanelControl;
class RadioDatabase;
class Registry;
class SettingsStore;
class SleepTimer;
class SkinDescription;

class MainWindow : public ToolkitFrameWindow,
                   public MessageTarget,
                   private PresetsHost,
                   private PlayerHost {
  Q_OBJECT

 public:
  enum Command : int {
    kCmdExit = 40004,
    kCmdOpen = 40024,
    kCmdSettings = 40055,
    kCmdAlarms = 40064,
    kCmdRecordStart = 40069,
    kCmdRecordStop = 40070,
    kCmdAbout = 40089,
    kCmdRotate = 40100,
    kCmdSleepTimer = 40101,
  };
  // The platform's notice that the screen changed (WM_SETTINGCHANGE with SETTINGCHANGE_RESET).
  static constexpr uint32_t kMsgSettingChange = 26;
  static constexpr uintptr_t kSettingChangeReset = 0x3002;

  // What the window uses and does not own; all outlive it.
  struct Services {
    Registry& registry;
    SettingsStore& settings;
    RadioDatabase& database;
    SkinDescription& skin;
    AlarmNotifier& notifier;
    std::string programDir;
  };

  MainWindow(Services services, ScreenSize screen);
  ~MainWindow() override;

  // Makes the two panels from the current skin, sets the title, icon and menu bar and shows the
  // window in front. False when a panel cannot be set up.
  bool create();

  bool post(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  void bringToForeground();
  // Plays a stream address or a playlist's first stream (see StreamLink); false when the link
  // gives nothing to play.
  bool openLink(const WString& link);

  ScreenSize screen() const { return m_screen; }
  QWidget* screenWidget() const { return m_screenWidget; }
  MainPanelControl* mainPanel() const { return m_main; }
  SleepTimer* sleepTimer() const { return m_sleep.get(); }
  PresetsPanelControl* presetsPanel() const { return m_presets; }
  RadioDatabase& database() const { return m_services.database; }
  QMenuBar* menus() const;

  // The window messages handled so far, in order (the alarm messages and screen changes).
  const std::vector<Message>& receivedMessages() const { return m_received; }

 signals:
  void messageHandled(quint32 message, quint64 wParam, qint64 lParam);

 protected:
  bool command(int id) override;
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // The player screen's keys: Space plays or stops, 1 to 9 play the presets, + and - (and Up
  // and Down) step the volume as the buttons do.
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  // PresetsHost and PlayerHost
  bool ChooseStream(const StreamInfo** result) override;
  void PlayPreset(const StreamInfo* stream, int presetIndex) override;
  void HighlightPreset(int presetIndex) override;
  void PlayerStateChanged() override;
  void RecordingStopped() override;

  void createMenus();
  bool playerKey(const QKeyEvent& event);
  static int volumeKeyDirection(const QKeyEvent& event);
  void handleMessage(const Message& message);
  void playAlarm(int presetIndex);
  void rotate();
  void runSettings();
  void setScreen(ScreenSize screen);
  // Parses the skin chosen for the screen, if one is, and lays every control out again.
  void reloadSkin();
  void destroyPanels();

  Services m_services;
  ScreenSize m_screen;
  QWidget* m_screenWidget;                   // the client area; owns the panels
  PresetsPanelControl* m_presets = nullptr;  // child of m_screenWidget
  MainPanelControl* m_main = nullptr;        // child of m_screenWidget; owns the Player
  std::vector<Message> m_received;
  std::unique_ptr<DesktopIntegration> m_desktop;  // made with the panels
  std::unique_ptr<SleepTimer> m_sleep;            // made with the panels
  RadioInfo m_linkRadio;    // what the last opened link plays: the playlist entry's title
  StreamInfo m_linkStream;  // its stream; m_linkRadio is its radio
};

}  // namespace orvel
