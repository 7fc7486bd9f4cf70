#pragma once
// The calling contract between Mp3Decoder and the MP3 primitives library (libOvGrpPrim.so
// beside the executable). The decoder owns both blocks; the library keeps all its decoding
// state inside the state block, and an all-zero state block means "a decoder at the start of
// a stream", which is how the decoder resets it after a seek.

#include <cstdint>

namespace orvel {

class ByteReader;

// Copies up to `count` bytes into `destination`; fewer only when the source has no more.
using Mp3ReadCallback = int32_t (*)(uint8_t* destination, int32_t count, ByteReader* context);

inline constexpr uint32_t kMp3InputBufferBytes = 65536;
inline constexpr uint32_t kMp3StateBytes = 24880;

struct Mp3InputContext {
  uint8_t buffer[kMp3InputBufferBytes];  // the library's input buffer
  uint32_t counter1;                     // the library's; the decoder resets it to 0
  uint32_t counter2;                     // the library's; the decoder resets it to 0
  uint32_t capacity;                     // kMp3InputBufferBytes
  Mp3ReadCallback read;
  ByteReader* reader;  // passed to `read`
};

struct Mp3DecoderState {
  alignas(8) uint8_t bytes[kMp3StateBytes];
};

extern "C" {
// Non-zero on success; stores in *maxValues the most 16-bit values one frame can give.
using Mp3InitDecoderFn = int32_t (*)(Mp3InputContext* input, Mp3DecoderState* state,
                                     uint32_t* maxValues, uint32_t* a, uint32_t* b);
// 0 on success. *count = 16-bit values written to pcm (interleaved). Non-zero with a count
// above 0 still delivers them; non-zero with count 0 means no more audio.
using Mp3DecodeFrameFn = int32_t (*)(Mp3InputContext* input, int16_t* pcm, uint32_t* count,
                                     int32_t mode, Mp3DecoderState* state);
// Required to be present; never called.
using Mp3SynthPqmfFn = int32_t (*)(void);
// Optional: frees what the library keeps for a state block, before the decoder clears or
// frees it.
using Mp3ReleaseDecoderFn = void (*)(Mp3DecoderState* state);
}

}  // namespace orvel
