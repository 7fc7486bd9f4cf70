// The MP3 primitives library: decodes one MPEG audio frame per call with libmpg123 in feed
// mode, pulling compressed bytes through the caller's read callback into the input block.
// Everything it keeps lives in the caller's state block, and an all-zero state block starts a
// fresh decoder, so the caller resets decoding by clearing the block.

#include <mpg123.h>
#include <pthread.h>

#include <cstring>

#include "audio/Mp3Primitives.h"

using orvel::Mp3DecoderState;
using orvel::Mp3InputContext;

namespace {

// The largest frame: 1152 samples per channel, two channels.
constexpr uint32_t kMaxValuesPerFrame = 1152 * 2;
// Bytes pulled per refill: about one frame, so that a network stream is not asked for more
// than the next frame needs.
constexpr int32_t kFeedBytes = 2048;

struct LibraryState {
  mpg123_handle* handle;
  uint64_t framesDecoded;
};
static_assert(sizeof(LibraryState) <= sizeof(Mp3DecoderState));

LibraryState* stateOf(Mp3DecoderState* state) {
  return reinterpret_cast<LibraryState*>(state->bytes);
}

mpg123_handle* openHandle() {
  static pthread_once_t once = PTHREAD_ONCE_INIT;
  pthread_once(&once, [] { mpg123_init(); });
  mpg123_handle* handle = mpg123_new(nullptr, nullptr);
  if (handle == nullptr) return nullptr;
  mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
  // Radio streams have no gapless information worth trimming by; every frame gives all its
  // samples.
  mpg123_param(handle, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0);
  mpg123_format_none(handle);
  const long* rates = nullptr;
  size_t count = 0;
  mpg123_rates(&rates, &count);
  for (size_t i = 0; i < count; ++i) {
    mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  }
  if (mpg123_open_feed(handle) != MPG123_OK) {
    mpg123_delete(handle);
    return nullptr;
  }
  return handle;
}

// Feeds up to kFeedBytes more bytes; false when the source has no more.
bool feedMore(Mp3InputContext* input, mpg123_handle* handle) {
  const int32_t got = input->read(input->buffer, kFeedBytes, input->reader);
  if (got <= 0) return false;
  input->counter1 += static_cast<uint32_t>(got);
  return mpg123_feed(handle, input->buffer, static_cast<size_t>(got)) == MPG123_OK;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int32_t MP3_InitDecoder(Mp3InputContext* input,
                                                               Mp3DecoderState* state,
                                                               uint32_t* maxValues, uint32_t* a,
                                                               uint32_t* b) {
  if (input == nullptr || state == nullptr || maxValues == nullptr) return 0;
  LibraryState* own = stateOf(state);
  if (own->handle == nullptr) own->handle = openHandle();
  if (own->handle == nullptr) return 0;
  *maxValues = kMaxValuesPerFrame;
  if (a != nullptr) *a = 0;
  if (b != nullptr) *b = 0;
  return 1;
}

__attribute__((visibility("default"))) int32_t MP3_DecodeFrame(Mp3InputContext* input, int16_t* pcm,
                                                               uint32_t* count, int32_t /*mode*/,
                                                               Mp3DecoderState* state) {
  *count = 0;
  LibraryState* own = stateOf(state);
  if (own->handle == nullptr) own->handle = openHandle();
  if (own->handle == nullptr) return 1;
  for (;;) {
    off_t frame = 0;
    unsigned char* audio = nullptr;
    size_t bytes = 0;
    const int result = mpg123_decode_frame(own->handle, &frame, &audio, &bytes);
    if (result == MPG123_OK && bytes > 0) {
      const size_t values = bytes / 2 > kMaxValuesPerFrame ? kMaxValuesPerFrame : bytes / 2;
      std::memcpy(pcm, audio, values * 2);
      *count = static_cast<uint32_t>(values);
      ++own->framesDecoded;
      input->counter2 = static_cast<uint32_t>(own->framesDecoded);
      return 0;
    }
    if (result == MPG123_NEED_MORE) {
      if (!feedMore(input, own->handle)) return 1;
    } else if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
      return 1;
    }
  }
}

__attribute__((visibility("default"))) int32_t MP3_SynthPQMF(void) { return 0; }

__attribute__((visibility("default"))) void MP3_ReleaseDecoder(Mp3DecoderState* state) {
  if (state == nullptr) return;
  LibraryState* own = stateOf(state);
  if (own->handle != nullptr) mpg123_delete(own->handle);
  own->handle = nullptr;
}

}  // extern "C"
