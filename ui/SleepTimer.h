#pragma once
// The sleep timer: after the chosen time the sound fades out over 30 s, then playback and any
// recording stop and the volume the user had comes back. The fade lowers the device volume
// (WaveVolume, applied to the samples by every device) without storing it, so an exit during
// the fade keeps the user's volume. ORVEL_RADIO_SLEEP_SECONDS_PER_MINUTE shortens the minutes
// (tests); the fade keeps its length. The choice is not kept across starts. UI thread only.

#include <QElapsedTimer>
#include <QTimer>
#include <array>
#include <cstdint>

namespace orvel {

class MainPanelControl;

class SleepTimer {
 public:
  static constexpr std::array<int, 6> kChoices = {0, 15, 30, 45, 60, 90};  // minutes; 0 is off
  static constexpr int kFadeMs = 30000;
  static constexpr int kFadeStepMs = 100;

  // panel: not owned; it outlives the timer.
  explicit SleepTimer(MainPanelControl& panel);
  ~SleepTimer();

  // Starts the timer anew for that many minutes (0 turns it off) and says so on the state line.
  // A fade under way ends and the volume comes back.
  void set(int minutes);
  // The minutes chosen while the timer runs; 0 when off or once the fade began.
  int minutes() const { return m_minutes; }
  bool fading() const { return m_fadeClock.isValid(); }

  // The length of a minute: 60 s, or what ORVEL_RADIO_SLEEP_SECONDS_PER_MINUTE says.
  static int minuteMs();
  // Each channel of the volume scaled by the fraction (0..1).
  static uint32_t scaledVolume(uint32_t volume, double fraction);

 private:
  void beginFade();
  void fadeStep();
  void endFade();

  MainPanelControl& m_panel;
  QTimer m_sleep;  // single shot: the chosen time is up
  QTimer m_fade;   // steps the fade, then waits for playback to end
  QElapsedTimer m_fadeClock;
  uint32_t m_userVolume = 0;  // the volume before the fade
  bool m_stopping = false;    // the fade is done and playback was told to stop
  int m_minutes = 0;
};

}  // namespace orvel
