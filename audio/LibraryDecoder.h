#pragma once
// A decoder made by a codec library, seen as an AudioDecoder: lends the library the
// DataStream through the C stream record, turns its frames into blocks and runs the filters.
//
// Threads as for every AudioDecoder: Open on the player's thread, Decode and rewinds on the wave
// output's thread under the Player's lock, tags on the UI thread (never during a Decode).

#include <cstdint>

#include "audio/AudioDecoder.h"
#include "audio/FilterChain.h"
#include "audio/TagInfo.h"
#include "audio/TagsChangeMark.h"
#include "audio/plugin/OvAudioPlugin.h"

namespace orvel {

class LibraryDecoder : public AudioDecoder, public FilterChain {
 public:
  static constexpr int32_t kImplementationConstant = 130;

  // Takes ownership of `decoder`.
  explicit LibraryDecoder(OvDecoder* decoder);
  ~LibraryDecoder() override;
  LibraryDecoder(const LibraryDecoder&) = delete;
  LibraryDecoder& operator=(const LibraryDecoder&) = delete;

  bool AddFilter(AudioFilter* filter) override { return addFilter(filter); }
  bool RemoveFilter(AudioFilter* filter) override { return removeFilter(filter); }
  bool RemoveAllFilters() override { return removeAllFilters(); }
  int32_t Control(int32_t code, void* out, void* out2) override;
  bool GetFormat(AudioFormat* format) override;
  int32_t Open(DataStream* stream, AudioFormat* format) override;
  int32_t GetPosition(bool inTime) override;
  int32_t Seek(int32_t position, bool byTime) override;
  bool Decode(WaveHeader* block, uint32_t capacityBytes) override;
  void Release() override;

 private:
  int32_t readTags(void* out);

  OvDecoder* m_decoder;
  OvStream m_streamRecord{};
  AudioFormat m_format{};
  DataStream* m_stream = nullptr;  // set by a successful Open; not owned
  // --- the decoding thread's: where in the last block a new link began
  TagsChangeMark m_newPart;
};

}  // namespace orvel
