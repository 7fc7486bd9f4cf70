#pragma once
// Runs one radio stream from connection to teardown: the stream (with recording), the decoder
// for its format, an optional "ResampleFilter" conversion and the wave output. Commands run on
// a player thread of their own, so the user interface never waits for the network; each
// command's result and every step of the stream are posted to the notify target.
//
// Threads:
//   user interface  construction, Start, the command operations (they post), GetLastError,
//                   GetBufferFill, GetStreamHeaders, IsPlaying, GetTrackInfo, Shutdown
//   player thread   every command (Open waits up to 30 s for the connection)
//   callback thread FillBuffer and PlaybackEnded (the wave output's)
//   stream threads  the PlayerEvents operations (they only post or set the connect event)
// Lock order: the wave output's lock, then m_lock, then the recording lock, then the byte
// queue's; the title schedule's lock is taken last, alone. The wave output is never closed from
// another thread while m_lock is held, because its callback thread takes m_lock inside FillBuffer.
//
// A decode holds m_lock while it waits in the stream's reads, and a server may send one byte a
// second for ever without the connection ever counting as stalled. So the stream's waiting reads
// are cut short while a Stop or Close runs, and also while a Play runs with a Stop or Close
// queued behind it (its first buffers are decoded on the player thread, which the queued
// command would otherwise wait for); and GetTrackInfo never waits for m_lock.
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "audio/AudioDecoder.h"
#include "audio/AudioFilter.h"
#include "audio/TagInfo.h"
#include "audio/WaveOutput.h"
#include "engine/OpenRequest.h"
#include "engine/PlayerEvents.h"
#include "engine/PlaylistReader.h"
#include "engine/RecordingStream.h"
#include "engine/StopRequests.h"
#include "engine/StreamHeaders.h"
#include "engine/TitleSchedule.h"
#include "platform/Event.h"
#include "platform/MessageQueue.h"
#include "platform/MessageTarget.h"

namespace orvel {

class CodecRegistry;

class Player : private WaveOutputClient, private PlayerEvents {
 public:
  enum PlayerState : int32_t { Idle = 0, Ready = 1, Playing = 2, Paused = 3, Ended = 4 };
  // Commands; each one's reply is posted as command + kReplyOffset with the result in wParam.
  static constexpr uint32_t kOpen = 1025;
  static constexpr uint32_t kClose = 1026;
  static constexpr uint32_t kPlay = 1027;
  static constexpr uint32_t kStop = 1028;
  static constexpr uint32_t kPause = 1029;
  static constexpr uint32_t kRecordStart = 1030;
  static constexpr uint32_t kRecordStop = 1031;
  static constexpr uint32_t kReplyOffset = 319;
  // Notifications.
  static constexpr uint32_t kPlaybackEnded = 1325;
  static constexpr uint32_t kNetStatus = 1326;  // wParam: string id
  static constexpr uint32_t kStatus = 1327;     // wParam: string id (70: lParam the attempt)
  static constexpr uint32_t kPrebufferDone = 1329;
  static constexpr uint32_t kTitleChanged = 1330;
  static constexpr uint32_t kStreamResolved = 1331;  // TakeResolvedUrls has a URL
  static constexpr uint32_t kQuit = 0x0012;          // ends the player thread
  static constexpr uint32_t kTitleClock = 1045;      // wakes the player thread: a title waits

  struct Settings {
    RecordingStream::RecDirSource recDir;  // the "RecDir" setting, read at each RecordStart
    StreamConnection::Timing timing;       // the connection's limits
    int connectWaitMs = 30000;             // Open gives up on the connection after this
    WaveDriver* driver = nullptr;          // null: the driver of ORVEL_RADIO_AUDIO
    CodecRegistry* registry = nullptr;     // null: the process-wide registry
    PlaylistReader playlistReader;         // null: a playlist answer fails as unsupported
  };

  // `notify` receives every reply and notification; it must outlive the Player.
  Player(MessageTarget* notify, Settings settings);
  ~Player() override;
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  // Creates the stream, opens its internet session (posting 12, then 13 or 1), loads the
  // codecs and starts the player thread. Once.
  void Start();
  // The commands: run at once on the player thread, posted from any other. A Stop or Close
  // issued while a Play waits for the network ends that wait at once: the Play fails, or plays
  // what it had until the Stop runs. An Open runs to its end before a Close issued after it.
  void Open(const OpenRequest& request);
  void Close();
  void Play();
  void Stop();
  void Pause();
  void RecordStart();
  void RecordStop();

  // The stream URLs taken from playlists since the last call, in the order they were tried.
  std::vector<std::string> TakeResolvedUrls();
  // The string id of the last Open failure (43, 44, 45), else the stream's (1, 6, 58, 59);
  // cleared by the call. 0 when there is none.
  int32_t GetLastError();
  // The byte queue's fill in percent; 0 without a stream.
  int32_t GetBufferFill();
  // A copy of the current connection's headers; nothing without one.
  std::optional<StreamHeaders> GetStreamHeaders();
  bool IsPlaying() const { return m_state.load() == Playing; }
  PlayerState state() const { return static_cast<PlayerState>(m_state.load()); }
  // The in-band title of the sound that plays now, completed from the decoder's tags (those of
  // the open, or of the Ogg link that plays). False without a decoder or stream. Never waits for
  // a running decode (which may wait for a slow server).
  bool GetTrackInfo(TagInfo& info);
  // The path of the running recording; empty when none.
  WString RecordingPath();
  // Ends the player thread and the stream's session; the caller has issued Close before.
  void Shutdown();

  // The output plan for a decoder format: buffer bytes B and the decode budget D.
  static uint32_t bufferBytesFor(const WaveFormatEx& decoder);
  static uint32_t decodeBudgetFor(uint32_t bufferBytes, const WaveFormatEx& decoder,
                                  const WaveFormatEx& output);

 private:
  // WaveOutputClient
  bool FillBuffer(WaveHeader* header, uint32_t capacity) override;
  void PlaybackEnded() override;
  // PlayerEvents
  void ReportNetStatus(int32_t stringId) override;
  void ReportStatus(int32_t stringId) override;
  void PrebufferComplete() override;
  void ConnectFinished(bool ok) override;
  void TitleChanged() override;
  void ReportReconnecting(int32_t attempt) override;
  void StreamResolved(const std::string& url) override;

  void command(uint32_t id, OpenRequest* request);
  void threadMain();
  int32_t run(uint32_t id, const OpenRequest* request);
  int32_t execute(uint32_t id, const OpenRequest* request);
  int32_t doOpen(const OpenRequest* request);
  int32_t failOpen(int32_t error);
  AudioDecoder* createDecoder();
  bool setUpOutput();
  void releaseOutput();
  bool decodeInto(WaveHeader* header, uint32_t capacity);
  void placeTitles(uint32_t consumedBefore, uint32_t decodedBytes, uint32_t outputBytes);
  int msUntilNextTitle() const;
  void showDueTitles();
  int32_t doPlay();
  int32_t doStop();
  int32_t doPause();
  int32_t doClose();
  int32_t doRecordStart();
  int32_t doRecordStop();
  void teardown();
  void drainCommands();
  void setDecoder(AudioDecoder* decoder);
  bool onPlayerThread() const { return std::this_thread::get_id() == m_threadId; }
  CodecRegistry& registry();

  MessageTarget* const m_notify;
  const Settings m_settings;
  // Made by Start and dropped by Shutdown (after the player thread ended), both on the user
  // interface's thread; in between the player thread and the queries use it.
  std::unique_ptr<RecordingStream> m_stream;
  MessageQueue m_commands;  // the player thread's queue
  std::thread m_thread;
  std::thread::id m_threadId;  // set by Start; read by the command operations
  // Recursive: the second failed refill closes the output from inside FillBuffer.
  std::recursive_mutex m_lock;
  // --- guarded by m_lock; created and released by the player thread, which as their only
  // writer also reads them without it (it never closes the wave output while holding m_lock)
  AudioDecoder* m_decoder = nullptr;
  AudioFilter* m_filter = nullptr;
  std::unique_ptr<WaveOutput> m_wave;
  std::unique_ptr<WaveFormatEx> m_outputFormat;  // null: the decoder's format is played as it is
  std::unique_ptr<AudioFormat> m_decoderFormat;
  uint32_t m_decodeBudget = 0;
  uint32_t m_bufferBytes = 0;
  bool m_failedOnce = false;
  bool m_recording = false;  // player thread only
  // While it reports stopping, FillBuffer refills nothing. Its lock is taken without other
  // locks, and the byte queue's under it.
  StopRequests m_stops{[this](bool cut) {
    if (m_stream) m_stream->interruptReads(cut);
  }};
  // What the track information shows: titles wait there until their sound plays.
  TitleSchedule m_titles;
  // Titles read from the stream whose sound has not been decoded yet (decoding thread, under
  // m_lock).
  std::deque<IcyStream::PlacedTitle> m_unplacedTitles;
  std::atomic<int32_t> m_state{Idle};
  std::atomic<int32_t> m_lastError{0};
  // --- the connection's outcome: set by the connect thread, read after the event
  Event m_connectEvent{Event::Reset::Auto};
  std::atomic<bool> m_connected{false};
  std::mutex m_resolvedLock;            // taken alone
  std::vector<std::string> m_resolved;  // guarded by m_resolvedLock
};

}  // namespace orvel
