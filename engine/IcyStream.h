#pragma once
// The network stream: a StreamConnection that asks for in-band metadata, keeps the response
// headers that name the station and its format, removes the metadata blocks from the audio and
// turns their StreamTitle into the current track's title. Decoders read it as a DataStream.
//
// After a reconnection the metadata count starts again where the new connection's audio begins,
// with the new connection's interval; the station's headers stay those of the first answer.
//
// The format comes from the content type, or from the first audio bytes when those say otherwise
// or the type names none (DetectFormat): the bytes it looks at are handed out again by the next
// reads, so the decoder sees the stream from its start.
//
// An HLS stream's titles come from its reader thread (TitleFound) with the position of their
// audio in the queued bytes, which are all audio: no metadata is split out of them.
//
// Threads: Connect, DetectFormat and FormatName on the player thread; ConnectDone on the connect
// thread; Reconnected and TitleFound on the reader thread; Read, ReadChunk and TakeTitles on one
// reading thread at a time (the player thread while a decoder opens, then the wave output's
// thread); CopyTrack and GetStreamHeaders on any thread. The title's rewrite, CopyTrack and
// TakeTitles run under m_trackLock (taken after the Player's lock), the headers' replacement and
// every look at them under m_headersLock. Neither is held with the queue lock or while another lock
// is taken; m_headersLock may be taken under the recording lock (a recording asks for the format).

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "audio/DataStream.h"
#include "audio/TagInfo.h"
#include "engine/MetadataSplitter.h"
#include "engine/OpenRequest.h"
#include "engine/StreamConnection.h"
#include "engine/StreamHeaders.h"

namespace orvel {

class IcyStream : public StreamConnection, public DataStream {
 public:
  static constexpr uint32_t kHeaderCapacity = 2048;  // wide characters
  static constexpr size_t kMaxTitleChars = 260;
  static constexpr size_t kOutputBufferBytes = 65536;
  static constexpr size_t kMaxHeldTitles = 64;

  // A title as read from the stream, with the count of audio bytes read before it: the sound it
  // belongs to starts there.
  struct PlacedTitle {
    uint32_t position = 0;
    WString title;
  };

  explicit IcyStream(PlayerEvents* events, Timing timing = Timing{});
  ~IcyStream() override;

  // Player Open: clears the counters and starts connecting with the accept types, the
  // "icy-metadata:1" header, the prebuffer flag and the retries. Returns at once.
  void Connect(const OpenRequest& request);
  // A copy of the headers of the last successful connection; nothing before the first.
  std::optional<StreamHeaders> GetStreamHeaders() const;
  // Copies the track (only the title is ever set here): the last title read, which may lie
  // seconds ahead of the sound; false when there is none yet.
  bool CopyTrack(TagInfo& info);
  // The titles read since the last call, oldest first (at most kMaxHeldTitles, the newest).
  std::vector<PlacedTitle> TakeTitles();
  // The decoder's format name: DetectFormat's once it ran for this connection, else the content
  // type's: "mp3", "ogg", "aac", "opus", "flac", or false for none.
  bool FormatName(std::string& name) const;
  // Before the decoder's first read, on the reading thread: looks at the first audio bytes
  // (waiting for them like a read) and settles the format: what the bytes show when they are
  // recognised (an Ogg stream by its first packet), else the content type's. False for none.
  bool DetectFormat(std::string& name);

  // DataStream, in table order.
  int32_t IsOpen() override { return 0; }
  // Blocks until `size` bytes came or the data ended; returns the audio bytes among them.
  int32_t Read(void* buffer, int32_t size) override;
  // Blocks for the next run of audio (a run of only metadata is skipped); 0 at the end.
  int32_t ReadChunk(const uint8_t** data, uint32_t* spare) override;
  int32_t Write(const void*, int32_t) override { return 0; }
  int64_t Seek(int64_t, SeekOrigin) override { return -1; }
  int64_t GetPosition() override;
  int64_t GetSize() override { return -1; }
  // True only when the connection's data has ended and the queue is empty, so a reader that
  // meets the end of one chunk asks for the next instead of giving up.
  bool IsAtEnd() override { return m_aheadAt == m_ahead.size() && isDrained(); }
  void Release() override {}

 protected:
  void ConnectDone(bool ok, WString headerBuffer) override;
  // Returns the new connection's metadata interval, which the splice carries to the reader.
  int32_t Reconnected(const WString& headerBuffer) override;
  // Reading thread: the bytes read next come from a new connection.
  virtual void Spliced() {}
  void TitleFound(uint64_t position, std::string text) override;

 private:
  void storeTitle(WString title, uint32_t position);
  void checkSplice();

  bool typedFormat(std::string& name) const;
  bool readAhead(size_t size);

  static const std::vector<std::string>& acceptTypes();

  // Audio bytes taken from the stream so far, including those read ahead.
  uint32_t m_position = 0;        // reset by Connect, then the reading thread's
  MetadataSplitter m_splitter;    // reset by Connect and ConnectDone, then the reading thread's
  std::vector<uint8_t> m_output;  // reading thread only: the audio of the last chunk
  // Reset by Connect, then the reading thread's: audio read ahead by DetectFormat, handed out
  // by the next reads from m_aheadAt on.
  std::vector<uint8_t> m_ahead;
  size_t m_aheadAt = 0;

  mutable std::mutex m_headersLock;
  std::optional<StreamHeaders> m_headers;  // guarded by m_headersLock; set by the connect thread
  std::optional<std::string> m_detected;   // guarded by m_headersLock; DetectFormat's answer

  std::mutex m_trackLock;
  std::optional<TagInfo> m_track;     // guarded by m_trackLock
  std::vector<PlacedTitle> m_titles;  // guarded by m_trackLock
};

}  // namespace orvel
