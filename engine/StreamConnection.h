#pragma once
// The base of the stream object: one internet session for the Player's life, a connection to a
// stream URL with a bounded number of retries, the check of the answer (HTTP, or "ICY 200 OK"
// read from the body), and the reading that copies the body into the ByteQueue in network
// reads of at most 2048 bytes with a stall limit per read. Every step is reported to the
// PlayerEvents as a string id.
//
// Threads:
//   owner (player)  OpenInternet, Connect, Disconnect, Shutdown, TakeError, StartPrebuffering
//   connect thread  one per Connect: the attempts, the queuing of the body bytes that came
//                   with the answer (before the reader thread is resumed), then ConnectDone
//   reader thread   one from OpenInternet to Shutdown, serving every connection in turn: the
//                   network reads (libcurl runs on this thread while it reads), each appended
//                   to the queue at once, and each given up when it waited for the stall limit.
//                   A stop aborts the request, which ends a waiting read at once.
//   consumer        readQueue/readQueueChunk (the decoder; the connect thread for ICY lines)
// Locks: m_connectLock (owner-side, around the connect thread's handle) is taken before the
// queue lock. No lock is held while a thread waits for the network or for another thread.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/ByteQueue.h"
#include "engine/PlayerEvents.h"
#include "platform/Event.h"
#include "platform/Text.h"
#include "platform/internet/HttpRequest.h"
#include "platform/internet/InternetSession.h"

namespace orvel {

// What one Connect asks for; the derived stream builds it.
struct ConnectRequest {
  WString url;
  std::vector<std::string> acceptTypes;
  std::string extraHeaders;
  uint32_t headerCapacity = 0;  // wide characters the header lines may take, terminators included
  bool prebuffer = false;
  int32_t retries = 0;
};

// The connection's time limits; tests shorten them.
struct ConnectionTiming {
  int retryPauseMs = 5000;                                         // between two attempts
  int stallLimitMs = 10000;                                        // per network read
  int responseTimeoutMs = HttpRequest::kDefaultResponseTimeoutMs;  // from request to headers
};

class StreamConnection {
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

  // `events` is not owned and must outlive the connection.
  explicit StreamConnection(PlayerEvents* events, Timing timing = Timing{});
  virtual ~StreamConnection();
  StreamConnection(const StreamConnection&) = delete;
  StreamConnection& operator=(const StreamConnection&) = delete;

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

 protected:
  // Connect thread, once per attempt series: `ok` tells whether it succeeded; `headerBuffer`
  // holds the response's header lines (null-terminated, ending with an empty line).
  virtual void ConnectDone(bool ok, WString headerBuffer) = 0;

  // The queue's Read and ReadChunk for the stream's reader. They wait for a running connect
  // thread first (unless called on it) and fail unless connected.
  bool readQueue(uint8_t* buffer, uint32_t size, uint32_t& got);
  bool readQueueChunk(const uint8_t*& data, uint32_t& length);

  PlayerEvents* events() const { return m_events; }

 private:
  void connectMain();
  bool runAttempts();
  bool attempt(const UrlComponents& url);
  bool takeResponse(HttpRequest& request);
  void startReading();
  void closeConnection();
  bool onConnectThread() const;
  bool prepareRead();
  void joinConnectThread();
  void readerMain();
  void serveConnection(HttpRequest& request, uint8_t* networkBuffer);
  bool readerShouldStop() const { return m_exit || m_stopReading; }

  PlayerEvents* const m_events;
  const Timing m_timing;
  ByteQueue m_queue;
  std::atomic<State> m_state{kClosed};
  std::atomic<int32_t> m_error{0};

  // --- owner thread; the reader thread only after it is resumed for a connection
  std::unique_ptr<InternetSession> m_session;
  std::unique_ptr<HttpRequest> m_request;  // replaced only while the reader is idle
  std::thread m_readerThread;

  // --- owner threads, under m_connectLock; m_request is read by the connect thread only
  std::mutex m_connectLock;
  std::thread m_connectThread;
  std::atomic<std::thread::id> m_connectThreadId{};
  ConnectRequest m_connect;    // written before the connect thread starts, then its own
  WString m_headerBuffer;      // connect thread only
  bool m_readingHeld = false;  // connect thread only: connected, the reader not yet resumed

  // --- flags written by one thread and polled by others
  std::atomic<bool> m_cancel{false};       // no further attempts
  std::atomic<bool> m_stopReading{false};  // end the current connection's reading
  std::atomic<bool> m_exit{false};         // end the reader thread

  Event m_resume{Event::Reset::Auto};  // wakes the idle reader thread
};

}  // namespace orvel
