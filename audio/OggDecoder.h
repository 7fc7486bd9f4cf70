#pragma once
// The decoder for Ogg Vorbis over Tremor, the integer Vorbis decoder. Tremor reads the
// DataStream through callbacks; every Decode fills its block completely unless the stream
// ends. A chained stream (a new logical stream at each song change, as servers send it) plays
// on across the boundary with the format announced at Open.
//
// Threads as for every AudioDecoder: Open on the player's thread, Decode and rewinds on the
// wave output's thread under the Player's lock, tags on the UI thread (never during a Decode).

#include <cstdint>
#include <memory>
#include <string_view>

#include "audio/AudioDecoder.h"
#include "audio/FilterChain.h"
#include "audio/TagInfo.h"
#include "audio/TagsChangeMark.h"

struct OggVorbis_File;
struct vorbis_comment;

namespace orvel {

class OggDecoder : public AudioDecoder, public FilterChain {
 public:
  static constexpr int32_t kImplementationConstant = 120;

  OggDecoder();
  ~OggDecoder() override;

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

  // Fills `tags` from a Vorbis comment list ("KEY=value", keys without case, UTF-8 values).
  static void readComments(const vorbis_comment& comments, TagInfo& tags);
  // Fills the field of `tags` that one "KEY=value" comment names, if it names one.
  static void readComment(std::string_view comment, TagInfo& tags);

 private:
  int32_t readTags(void* out);

  // --- the decoding thread's: the link of the last samples read, and where a new one began
  int m_link = -1;
  TagsChangeMark m_newLink;
  std::unique_ptr<OggVorbis_File> m_file;  // Tremor's stream record; null until Open succeeds
  AudioFormat m_format{};
  DataStream* m_stream = nullptr;  // set by a successful Open; not owned
};

}  // namespace orvel
