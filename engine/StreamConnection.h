#pragma once
// The base of the stream object: one internet session for the Player's life, a connection to a
// stream URL with a bounded number of retries, the check of the answer (HTTP, or "ICY 200 OK"
// read from the body), and the reading that copies the body into the ByteQueue in network
// reads of at most 2048 bytes with a stall limit per read. When the data ends for a network
// reason (the stall limit, the server closing or resetting, a read error) and reconnections
// are allowed, the reader thread asks for the same URL again after a pause (1, 2, 4, 8, 16 s,
// then every 30 s) and appends the new body behind a splice mark, while the decoder plays
// what is queued and then waits. Every step is reported to the PlayerEvents as a string id.
//
// An answer that is a playlist rather than audio (by its content type, or its first bytes when
// the type is plain text or missing) is read whole (at most 64 KiB) by the PlaylistReader, and
// its entries are tried in order, each reported as resolved, until one connects; playlists
// within playlists are followed three deep. A playlist beyond those limits, or without a usable
// entry, fails the connection as an unsupported format (44). An HLS playlist makes the reader
// thread run an HlsSource instead of reading a body: it queues the segments' elementary audio,
// a discontinuity as a splice mark, and its titles through TitleFound.
//
// Threads:
//   owner (player)  OpenInternet, Connect, Disconnect, Shutdown, TakeError, StartPrebuffering,
//                   StopReconnecting
//   connect thread  one per Connect: the attempts, the queuing of the body bytes that came
//                   with the answer (before the reader thread is resumed), then ConnectDone
//   reader thread   one from OpenInternet to Shutdown, serving every connection in turn: the
//                   network reads (libcurl runs on this thread while it reads), each appended
//                   to the queue at once, and each given up when it waited for the stall limit;
//                   the reconnections and their pauses. A stop aborts the request, which ends
//                   a waiting read or a reconnection's request at once, and wakes a pause.
//   consumer        readQueue/readQueueChunk (the decoder; the connect thread for ICY lines)
// Locks: m_connectLock (owner-side, around the connect thread's handle), then m_requestLock,
// then the queue lock. No lock is held while a thread waits for the network or for another
// thread.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/ByteQueue.h"
#include "engine/HlsSource.h"
#include "engine/PlayerEvents.h"
#include "engine/PlaylistReader.h"
#include "platform/Event.h"
#include "platform/Text.h"
#include "platform/internet/HttpRequest.h"
#include "platform/internet/InternetSession.h"
#include "platform/internet/Url.h"

namespace orvel {

// What one Connect asks for; the derived stream builds it.
struct ConnectRequest {
  WString url;
  std::vector<std::string> acceptTypes;
  std::string extraHeaders;
  uint32_t headerCapacity = 0;  // wide characters the header lines may take, terminators included
  bool prebuffer = false;
  int32_t retries = 0;
  int32_t reconnects = 0;  // after a drop: 0 none, OpenRequest::kReconnectForever, or at most N
};

// The connection's time limits; tests shorten them.
struct ConnectionTiming {
  int retryPauseMs = 5000;                                         // between two attempts
  int stallLimitMs = 10000;                                        // per network read
  int responseTimeoutMs = HttpRequest::kDefaultResponseTimeoutMs;  // from request to headers
  int reconnectPauseMs = 1000;      // before the first reconnection; doubles for each next one
  int reconnectPauseMaxMs = 30000;  // ... up to this

  // The pause before reconnection attempt `attempt` (1 for the first after a drop).
  int reconnectPauseBefore(int32_t attempt) const;
};

class StreamConnection : private HlsSource::Host {
 public:
  enum State : int32_t { kClosed = 0, kOpening = 1, kOnline = 2, kConnecting = 3, kConnected = 4 };

  using Timing = ConnectionTiming;

  static constexpr uint32_t kNetworkReadBytes = 2048;
  // A read waits up to kGatherMs for a whole kNetworkReadBytes while the queue holds at least
  // kGatherQueuedBytes (about a second of a 128 kbit/s stream), so the wait never starves the
  // decoder and never holds up the first buffer, when the queue is empty.
  static constexpr uint32_t kGatherQueuedBytes = 16384;
  static constexpr int kGatherMs = 250;
  static constexpr const char* kUserAgent = "ORVEL Radio";
  static constexpr size_t kMaxPlaylistBytes = 65536;
  static constexpr int kMaxPlaylistDepth = 3;

  // `events` is not owned and must outlive the connection.
  explicit StreamConnection(PlayerEvents* events, Timing timing = Timing{});
  ~StreamConnection() override;
  StreamConnection(const StreamConnection&) = delete;
  StreamConnection& operator=(const StreamConnection&) = delete;

  // Owner, before OpenInternet: how playlist answers are read (null: they fail as unsupported).
  void setPlaylistReader(PlaylistReader reader) { m_playlistReader = std::move(reader); }

  // Opens the internet session and starts the reader thread; only in kClosed. Reports 12, then
  // 13, or 1 on failure (error 1). True when the state is kOnline afterwards.
  bool OpenInternet();
  // Starts a connection attempt series on a new connect thread and returns at once; the outcome
  // arrives through ConnectDone. Disconnects first when connected.
  void Connect(ConnectRequest request);

  // Ends any attempt series (waiting out the current attempt and pause) and the connection.
  // True on success or when nothing was connected.
  virtual bool Disconnect();
  // The id of the last failure (1, 6), then 0.
  virtual int32_t TakeError();
  // Ends the session and the reader thread for good. False in kOpening or kConnecting.
  bool Shutdown();

  State state() const { return m_state.load(); }
  // Player: begin holding playback until the queue has filled (see ByteQueue).
  void StartPrebuffering() { m_queue.StartPrebuffering(); }
  int32_t GetFill() { return m_queue.GetFill(); }
  // Player, any thread: cut short the reads that wait for bytes, or let them wait again (see
  // ByteQueue::interruptReads).
  void interruptReads(bool on) { m_queue.interruptReads(on); }
  // Consumer: true when the current connection's data has ended and every byte was read.
  bool isDrained() { return m_queue.isDrained(); }
  // Ends the reconnection attempts at once and allows no more for this connection: a drop then
  // ends the data as it would without reconnections.
  void StopReconnecting();

 protected:
  // Connect thread, once per attempt series: `ok` tells whether it succeeded; `headerBuffer`
  // holds the response's header lines (null-terminated, ending with an empty line).
  virtual void ConnectDone(bool ok, WString headerBuffer) = 0;

  // The queue's Read and ReadChunk for the stream's reader. They wait for a running connect
  // thread first (unless called on it) and fail unless connected.
  bool readQueue(uint8_t* buffer, uint32_t size, uint32_t& got);
  bool readQueueChunk(const uint8_t*& data, uint32_t& length);
  // Consumer, after a read: true once when the bytes just read begin a reconnection's body,
  // with the value Reconnected gave for it.
  bool takeSplice(int32_t& note) { return m_queue.takeSplice(note); }
  // Reader thread, when a reconnection succeeded, before its first byte is queued: gets the new
  // connection's header lines and returns the note the consumer gets with the splice.
  virtual int32_t Reconnected(const WString& headerBuffer) {
    (void)headerBuffer;
    return 0;
  }

  // Reader thread (or the connect thread, while an HLS stream opens): `text` (UTF-8) belongs to
  // the audio from byte `position` of the connection's queued bytes on.
  virtual void TitleFound(uint64_t position, std::string text) {
    (void)position;
    (void)text;
  }

  PlayerEvents* events() const { return m_events; }

 private:
  void connectMain();
  bool runAttempts();
  bool attempt(const UrlComponents& url, int depth);
  bool takeResponse(HttpRequest& request);
  bool followPlaylist(HttpRequest& request, const UrlComponents& url, int depth);
  bool openHls(std::unique_ptr<HttpRequest> request, const UrlComponents& url);
  bool playHls();
  // HlsSource::Host
  HttpRequest* fetch(const std::string& url) override;
  bool stopping() override;
  void pause(int ms) override;
  bool queueAudio(const uint8_t* bytes, size_t size) override;
  void discontinuity() override { m_queue.markSplice(0); }
  void title(uint64_t position, std::string text) override {
    TitleFound(position, std::move(text));
  }
  void startReading();
  void closeConnection();
  bool onConnectThread() const;
  bool prepareRead();
  void joinConnectThread();
  void readerMain();
  void serveConnection(uint8_t* networkBuffer);
  void readBody(HttpRequest& request, uint8_t* networkBuffer);
  void deliver(const uint8_t* bytes, uint32_t n);
  // How a reconnection (or one attempt of it) ended.
  enum class Resume { kResumed, kRetry, kEnded, kStopped };
  Resume reconnect();
  Resume reopen();
  void giveVerdict();
  bool awaitVerdict();
  bool reconnectsLeft() const;
  bool readerShouldStop() const { return m_exit || m_stopReading; }

  PlayerEvents* const m_events;
  const Timing m_timing;
  ByteQueue m_queue;
  std::atomic<State> m_state{kClosed};
  std::atomic<int32_t> m_error{0};

  // --- created and destroyed by the owner while no connection runs; used by every thread
  std::unique_ptr<InternetSession> m_session;
  std::thread m_readerThread;  // owner thread only

  // --- the current request, guarded by m_requestLock: set by the connect thread before the
  // reader is resumed, replaced by the reader thread for each reconnection, aborted by any
  // thread that stops the connection, dropped by the owner or the connect thread once the
  // reader is idle. The reader and the connect thread use the object without the lock while
  // it is theirs: abort is the only call another thread makes on it. The lock also guards the
  // hand-over of the reconnection verdict between the connect thread and the reader.
  std::mutex m_requestLock;
  std::unique_ptr<HttpRequest> m_request;
  bool m_reconnecting = false;  // a reconnection's request is being answered
  // The connect thread has decided whether drops may be reconnected (set before ConnectDone).
  bool m_verdict = false;
  bool m_dropDeferred = false;  // the reader waits for that verdict with its data ended

  // --- owner threads, under m_connectLock
  std::mutex m_connectLock;
  std::thread m_connectThread;
  std::atomic<std::thread::id> m_connectThreadId{};
  // Written by Connect before the connect thread starts, then the connect thread's; the reader
  // thread reads its reconnects count (which only Connect writes) at any time, the rest (and
  // m_url) only once m_mayReconnect is set, after the connect thread wrote them last.
  ConnectRequest m_connect;
  UrlComponents m_url;
  WString m_headerBuffer;      // connect thread only
  std::string m_bodyStart;     // connect thread only: body bytes read to classify the answer
  bool m_unsupported = false;  // connect thread only: the answer is no playable stream
  // Set by the connect thread before the reader is resumed, then the reader thread's; replaced
  // by the connect thread only while the reader is idle.
  std::unique_ptr<HlsSource> m_hls;
  PlaylistReader m_playlistReader;  // set before OpenInternet, then read only
  bool m_readingHeld = false;       // connect thread only: connected, the reader not yet resumed

  // --- reader thread only
  int32_t m_attempt = 0;         // reconnection attempts since the last byte came
  bool m_awaitingAudio = false;  // reconnected; no byte of the new body yet

  // --- flags written by one thread and polled by others
  std::atomic<bool> m_cancel{false};       // no further attempts
  std::atomic<bool> m_stopReading{false};  // end the current connection's reading
  std::atomic<bool> m_exit{false};         // end the reader thread
  // Set by the connect thread once connected; cleared by Connect, a close and StopReconnecting.
  std::atomic<bool> m_mayReconnect{false};

  Event m_resume{Event::Reset::Auto};                  // wakes the idle reader thread
  Event m_reconnectWake{Event::Reset::Manual, false};  // ends a reconnection pause
  Event m_stopWake{Event::Reset::Manual, false};       // ends an HLS pause: the reading stops
  Event m_verdictGiven{Event::Reset::Manual, false};   // m_verdict became true
};

}  // namespace orvel
