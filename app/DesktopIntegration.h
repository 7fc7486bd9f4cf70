#pragma once
// The main window's face on the desktop's session bus: the MPRIS media player that media keys,
// panels and playerctl drive. It reads the player screen's state and turns the bus's commands
// into the main window's actions; the window calls playerChanged() whenever the player may
// have changed. Without a session bus it does nothing. UI thread only.

#include <memory>

#include "platform/qt/MediaPlayerControl.h"

namespace orvel {

class MainWindow;
class MprisService;

class DesktopIntegration : private MediaPlayerControl {
 public:
  // The installed desktop entry's name, and the stream and playlist types it declares.
  static constexpr char kDesktopEntry[] = "orvel-radio";
  static QStringList mimeTypes();

  // window: not owned; it owns this object.
  explicit DesktopIntegration(MainWindow& window);
  ~DesktopIntegration() override;

  // Offers the media player on the bus; false when there is no session bus.
  bool start();
  void playerChanged();

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

  MainWindow& m_window;
  std::unique_ptr<MprisService> m_mpris;
};

}  // namespace orvel
