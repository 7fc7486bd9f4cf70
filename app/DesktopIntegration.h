#pragma once
// The main window's face on the desktop's session bus: the MPRIS media player that media keys,
// panels and playerctl drive, and the notifications ("Show notifications", the "Notify"
// setting): a new title while the window is not active, an alarm that starts, a recording that
// stops on its own. It reads the player screen's state and turns the bus's commands into the
// main window's actions; the window calls playerChanged() whenever the player may have changed.
// Without a session bus it does nothing. UI thread only.

#include <QString>
#include <memory>

#include "platform/Text.h"
#include "platform/qt/MediaPlayerControl.h"

namespace orvel {

class MainWindow;
class DesktopNotifier;
class MprisService;
class SettingsStore;

class DesktopIntegration : private MediaPlayerControl {
 public:
  // The installed desktop entry's name, and the stream and playlist types it declares.
  static constexpr char kDesktopEntry[] = "orvel-radio";
  static QStringList mimeTypes();

  // window: not owned; it owns this object. settings: not owned; it outlives this object.
  DesktopIntegration(MainWindow& window, const SettingsStore& settings);
  ~DesktopIntegration() override;

  // Offers the media player on the bus; false when there is no session bus.
  bool start();
  void playerChanged();
  // Space on the player screen: stops what plays or is paused, else plays as Play does.
  void playOrStop();
  void alarmStarted(const WString& station);
  void recordingStopped();

 private:
  // MediaPlayerControl
  MediaPlayerState mediaState() const override;
  void mediaPlay() override;
  void mediaPause() override;
  void mediaStop() override;
  void mediaStep(int direction) override;
  bool mediaOpen(const QString& uri) override;
  void mediaSetVolume(double volume) override;
  void mediaRaise() override;
  void mediaQuit() override;

  // The preset that holds a stream nearest after (direction 1) or before (-1) the one that
  // plays, going round; -1 when no other preset holds one.
  int steppedPreset(int direction) const;
  // Shows the notification when the setting allows it.
  void notify(const QString& summary, const QString& body);

  MainWindow& m_window;
  const SettingsStore& m_settings;
  std::unique_ptr<MprisService> m_mpris;
  std::unique_ptr<DesktopNotifier> m_notifier;
  QString m_title;  // the title line last seen
};

}  // namespace orvel
