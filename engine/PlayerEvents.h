#pragma once
// How the stream objects reach the Player: every step of a connection, the buffering and the
// in-band titles arrive here. Operations in their fixed order (the reconnection's report last);
// this base does nothing in each, so a listener overrides only what it needs. Implementations must
// not block: they post.
//
// Callers and threads:
//   ReportNetStatus  - the stream's owner thread while the internet session opens (ids 12, 13, 1)
//   ReportStatus     - the connect thread (14, 15, 17, 69, 6), the player thread on Disconnect
//                      (67, 68) and StartPrebuffering (41), the producer of the byte queue
//                      (40, 41: the connect thread, then the reader thread), the reader thread
//                      (42, and 71 when a reconnection's first bytes came)
//   PrebufferComplete- the producer of the byte queue, or the player thread when the ring was
//                      already full
//   ConnectFinished  - the connect thread, once per Connect that got as far as a connect thread
//   TitleChanged     - whichever thread reads the stream (decoder), after the title is stored
//   ReportReconnecting - the reader thread, as reconnection attempt N (from 1) after a drop
//                      begins with its pause
//   StreamResolved   - the connect thread, for each stream URL of a playlist it tries

#include <cstdint>
#include <string>

namespace orvel {

class PlayerEvents {
 public:
  virtual ~PlayerEvents() = default;
  virtual void ReportNetStatus(int32_t stringId) { (void)stringId; }
  virtual void ReportStatus(int32_t stringId) { (void)stringId; }
  virtual void PrebufferComplete() {}
  virtual void ConnectFinished(bool ok) { (void)ok; }
  virtual void TitleChanged() {}
  virtual void ReportReconnecting(int32_t attempt) { (void)attempt; }
  virtual void StreamResolved(const std::string& url) { (void)url; }
};

}  // namespace orvel
