#pragma once
// The decoder of one stream format. The Player creates one per opened stream through the
// codec registry, opens it on the stream's DataStream on its command thread, pulls PCM blocks
// out of it on the wave output's thread (inside the Player's lock) and releases it on Close.
// A decoder never owns its DataStream and is never reopened.
//
// Ten operations in this fixed order; no destructor among them (the decoder's second base,
// FilterChain, carries it). A decoder has no lock of its own.

#include <cstdint>

#include "audio/AudioFilter.h"
#include "audio/AudioFormat.h"
#include "audio/DataStream.h"
#include "audio/WaveHeader.h"

namespace orvel {

// Codes of AudioDecoder::Control.
enum ControlCode : int32_t {
  kControlImplementation = 1,  // a constant of the implementation
  kControlDuration = 101,      // the duration field of the record, ms
  kControlConstant = 102,      // always 1
  kControlBuildSeekIndex = 103,
  kControlDescription = 104,  // five wide strings: codec, kbps, Hz, bits, channels
  kControlRewind = 105,
  kControlGetSeekIndex = 106,
  kControlSetSeekIndex = 107,
  kControlReadTags = 108,  // out is a TagInfo; see the decoders
  // Ours: 1 once after the last Decode began a part of the stream with tags of its own (a new
  // Ogg link), with the byte offset in that block where it began in *out (uint32_t); else 0.
  // Runs on the decoding thread, after a Decode.
  kControlTagsChanged = 120,
};
inline constexpr int32_t kControlUnknown = -2;

class AudioDecoder {
 public:
  // 1. Appends a filter to the chain; false for null.
  virtual bool AddFilter(AudioFilter* filter) = 0;
  // 2. Removes the first node holding `filter`; false when null or absent.
  virtual bool RemoveFilter(AudioFilter* filter) = 0;
  // 3. Empties the chain; true.
  virtual bool RemoveAllFilters() = 0;
  // 4. Numbered queries and commands (ControlCode); -2 for an unknown code. Code 108 runs on
  //    the UI thread and must not overlap a Decode; 105 runs on the wave output's thread.
  virtual int32_t Control(int32_t code, void* out, void* out2) = 0;
  // 5. Copies the decoder's own 32-byte record.
  virtual bool GetFormat(AudioFormat* format) = 0;
  // 6. Binds the decoder to `stream` and fills the caller's record; 0 = success. Blocks while
  //    it reads the stream's first bytes.
  virtual int32_t Open(DataStream* stream, AudioFormat* format) = 0;
  // 7. true: ms of audio decoded so far; false: the current byte position in the stream.
  virtual int32_t GetPosition(bool inTime) = 0;
  // 8. By time: position in ms; else a byte offset from the start of the stream.
  virtual int32_t Seek(int32_t position, bool byTime) = 0;
  // 9. Writes at most dwBufferLength bytes of PCM at lpData, sets dwBytesRecorded and runs the
  //    filter chain. false: no audio at present (end, error, or a failed filter). May block in
  //    the stream's reads. `capacityBytes` is what the Player has room for; the built-in
  //    decoders go by dwBufferLength.
  virtual bool Decode(WaveHeader* block, uint32_t capacityBytes) = 0;
  // 10. Destroys the decoder and everything it owns.
  virtual void Release() = 0;

 protected:
  ~AudioDecoder() = default;
};

}  // namespace orvel
