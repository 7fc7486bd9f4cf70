#pragma once
// The player panel: owns the Player, turns taps on the play and volume buttons into player
// commands and volume steps, and turns the player's notifications and replies (posted to this
// panel from the player's threads) into the state, station and title lines and the buttons'
// looks.
//
// Timers: 111 repeats a held volume button (500 ms, then 125 ms; the volume is stored once, when
// the button is released); 112 ends a transient line after 1 s; 113 shows the buffer fill every
// 250 ms while prebuffering; 114 refreshes the title and keeps the desktop awake every 15 s
// while playing.
// UI thread only, except post(), which any thread may call, and the recording-folder source the
// panel gives its Player, which the player's thread calls: it reads only the settings store,
// which takes its lock.

#include <array>
#include <memory>

#include "engine/Player.h"
#include "library/StreamInfo.h"
#include "platform/MessageTarget.h"
#include "platform/Text.h"
#include "skin/ButtonListener.h"
#include "skin/SkinPanel.h"

namespace orvel {

class PlayerHost;
class SettingsStore;
class SkinButton;
class SkinTextControl;
struct TagInfo;

class MainPanelControl : public SkinPanel, public ButtonListener, public MessageTarget {
 public:
  enum TimerId {
    kVolumeRepeatTimer = 111,
    kTransientTimer = 112,
    kBufferingTimer = 113,
    kKeepAliveTimer = 114
  };
  static constexpr int kFirstRepeatMs = 500;
  static constexpr int kRepeatMs = 125;
  static constexpr int kTransientMs = 1000;
  static constexpr int kBufferingMs = 250;
  static constexpr int kKeepAliveMs = 15000;
  static constexpr int kFineVolumeStep = 655;
  static constexpr int kVolumeStep = 3000;
  static constexpr int kAlarmRetries = 5;

  // host and settings: not owned; they outlive the panel. playerSettings: for the Player this
  // panel makes (its recording folder comes from the settings store when none is given).
  MainPanelControl(PlayerHost* host, SettingsStore& settings, Player::Settings playerSettings = {});
  ~MainPanelControl() override;

  // Makes the panel (element 10), its three buttons and three text lines, and starts the
  // Player. False when any child cannot be set up; nothing is left then.
  bool setup(QWidget* parent, SkinDescription& description, bool visible);
  // Stops playback and ends the Player; the children go with the panel.
  void destroy();

  // Stops what plays and opens the stream (retries for an alarm; an alarm's stream and, with
  // the "Reconnect" setting, every stream reconnects when it drops); nothing without a stream.
  void PlayStream(const StreamInfo* stream, int presetIndex, bool alarm);
  void StopPlayback();
  void startPlayback();
  // Pauses what plays; startPlayback() resumes it.
  void pausePlayback();
  // Plays the stream played last in this run again; false when there is none.
  bool replay();
  bool hasPlayed() const { return !m_lastStream.url.empty(); }
  // Shows the text on the state line for a second.
  void showTransient(const WString& text);
  // A volume key: one step as a tap on the volume button gives, or as its repeat does for a
  // held key; the volume is stored when the key is released.
  void volumeKey(int direction, bool repeated);
  void volumeKeyReleased();
  void recordStart();
  void recordStop();

  // What PlayStream asks the player for: prebuffering from "UsePrebuffering", retries for an
  // alarm, reconnections for ever for an alarm or with "Reconnect" at 1, else none.
  static OpenRequest openRequest(const StreamInfo& stream, const SettingsStore& settings,
                                 bool alarm);
  // The volume after one step of delta on each channel, clamped to 0..65535.
  static uint32_t steppedVolume(uint32_t volume, int delta);
  // The percentage shown for a volume: its left channel, rounded down.
  static int volumePercent(uint32_t volume);

  Player* player() const { return m_player.get(); }
  SkinButton* playButton() const { return m_buttons[0]; }
  SkinButton* volumeUpButton() const { return m_buttons[1]; }
  SkinButton* volumeDownButton() const { return m_buttons[2]; }
  SkinTextControl* stateText() const { return m_texts[0]; }
  SkinTextControl* stationText() const { return m_texts[1]; }
  SkinTextControl* titleText() const { return m_texts[2]; }
  int currentPreset() const { return m_currentPreset; }
  // The stream played last, and the station's name: the server's, else the radio's title.
  const WString& streamUrl() const { return m_lastStream.url; }
  WString stationName() const;
  // The title line shown now; empty when none.
  WString title() const { return m_lastTitle.value_or(WString()); }

  // MessageTarget: queues the message for this panel's window.
  bool post(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  // ButtonListener
  intptr_t notify(uint32_t code, const Notification& data) override;
  // SkinControl
  bool otherMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result) override;
  void timer(int qtTimerId) override;

 private:
  void destroyChildren();
  void playerMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
  void playerReply(uint32_t message, int32_t id, intptr_t lParam);
  void statusMessage(int32_t stringId, intptr_t lParam);
  void openDone(bool ok);
  void closeDone();
  void titleChanged();
  void volumeStep(int direction);
  // Names the play button after what a tap does and announces the text lines that changed.
  void updateAccessibility();
  void setStateLine(const WString& text);
  void startTimer(TimerId id, int periodMs);
  void stopTimer(TimerId id);
  void timerExpired(TimerId id);

  PlayerHost* const m_host;
  SettingsStore& m_settings;
  Player::Settings m_playerSettings;  // immutable after construction
  std::unique_ptr<Player> m_player;
  std::array<SkinButton*, 3> m_buttons{};     // play, volume up, volume down
  std::array<SkinTextControl*, 3> m_texts{};  // state, station, title
  std::array<int, 4> m_timers{};              // Qt's ids of timers 111..114; 0 when off
  SkinButton* m_repeating = nullptr;          // the volume button held down
  bool m_firstRepeat = false;
  std::optional<WString> m_lastTitle;
  int m_currentPreset = -1;
  StreamInfo m_lastStream;  // a copy, without its radio, which the library may drop
  WString m_lastRadioTitle;
  bool m_openPrebuffers = false;  // the prebuffer flag of the last Open
  bool m_prebufferDone = false;   // 1329 came for the open stream (perhaps before its reply)
};

}  // namespace orvel
