#pragma once
// The Player's stream: the network stream plus recording. While a recording runs, the audio
// the decoder reads (the in-band metadata already removed) is also written to a file
// RadioRec.mp3, RadioRec01.mp3, ... (RadioRec.aac, ... for AAC) in the folder the "RecDir"
// setting chooses, in whole frames (FrameWriter): at a reconnection the old connection's last
// partial frame is dropped and the new one's audio joins at its first verified frame. Only MP3
// and ADTS AAC are recorded; an Ogg stream is refused. Every 512 KiB the
// free space of the target volume is checked; when it runs low the chunk just read is dropped and
// so is every later one until RecordStop: the stream reads as ended, which ends playback, and the
// file stays complete up to the last byte before the drop (a decoder that retried after one empty
// read would otherwise go on, and the file would grow with a gap into the full volume).
//
// Threads: RecordStart and RecordStop on the player thread; Read and ReadChunk on the decoding
// thread; RecordingPath on the user interface's. A read waits for the network without
// m_recordLock and takes it only to write what it got, so a file is never closed under a write,
// yet a server that drips one byte a second never holds up a RecordStart, a RecordStop or the
// path query. Bytes a read took before a RecordStop but writes after it are left out: the file
// then ends a little earlier, still without a gap. Spliced (the reading thread) takes the lock
// too. The lock is taken after the wave output's and
// the Player's locks; no other lock is taken under it.
#include <atomic>
#include <functional>
#include <mutex>

#include "engine/FrameWriter.h"
#include "engine/IcyStream.h"

namespace orvel {

class RecordingStream : public IcyStream {
 public:
  // Answers the "RecDir" setting: empty for the documents folder, else a removable volume's
  // mount point. Called on the player thread at each RecordStart.
  using RecDirSource = std::function<WString()>;
  static constexpr uint32_t kSpaceCheckBytes = 524288;
  static constexpr uint32_t kCardThresholdBytes = 100000;
  static constexpr uint32_t kMemoryThresholdBytes = 1000000;

  RecordingStream(PlayerEvents* events, RecDirSource recDir, Timing timing = Timing{});
  ~RecordingStream() override;

  // True when a file is open for recording; on failure TakeError yields 58 or 59.
  bool RecordStart();
  // Closes the file (every whole frame read so far is in it). Returns 1.
  int32_t RecordStop();
  // The open recording's path; empty when not recording.
  WString RecordingPath();

  // Stops any recording, then disconnects.
  bool Disconnect() override;
  int32_t TakeError() override;
  int32_t Read(void* buffer, int32_t size) override;
  int32_t ReadChunk(const uint8_t** data, uint32_t* spare) override;
  // True also while reads are refused for want of space.
  bool IsAtEnd() override { return m_outOfSpace.load() || IcyStream::IsAtEnd(); }

  // The first free RadioRec name in `folder` (any extension counts as taken), with `extension`.
  static WString nextRecordingPath(const WString& folder, const WString& extension = u".mp3");
  // The folder for a recording under the RecDir value.
  static WString recordingFolder(const WString& recDir);
  // Whether `freeBytes` (nothing: unknown) is enough for a file on a card or in main memory.
  static bool enoughSpace(std::optional<uint64_t> freeBytes, bool onCard);

 protected:
  void Spliced() override;

 private:
  bool openRecording();
  int32_t record(const uint8_t* bytes, int32_t length);
  bool spaceLeft();

  const RecDirSource m_recDir;
  std::mutex m_recordLock;
  // --- guarded by m_recordLock
  DataStream* m_file = nullptr;
  FrameWriter m_writer;  // writes to m_file
  WString m_path;
  uint32_t m_recorded = 0;
  uint32_t m_checkedAt = 0;
  int32_t m_error = 0;
  // Set by a failed space check, cleared by RecordStop; written under m_recordLock.
  std::atomic<bool> m_outOfSpace{false};
};

}  // namespace orvel
