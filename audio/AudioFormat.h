#pragma once
// The 32-byte format record that a decoder fills at Open: a WAVEFORMATEX in its first 18 bytes,
// then the block size, the requested duration and the stream's duration. Copied whole.

#include <cstddef>
#include <cstdint>

namespace orvel {

#pragma pack(push, 2)
struct WaveFormatEx {
  uint16_t wFormatTag;       // 1 = PCM
  uint16_t nChannels;        // 1 or 2
  uint32_t nSamplesPerSec;   // Hz
  uint32_t nAvgBytesPerSec;  // nSamplesPerSec * nBlockAlign
  uint16_t nBlockAlign;      // nChannels * wBitsPerSample / 8
  uint16_t wBitsPerSample;   // 16 for both built-in decoders
  uint16_t cbSize;           // the decoders store 18 here
};

struct AudioFormat {
  WaveFormatEx wave;
  uint16_t unused;
  uint32_t blockSize;            // preferred PCM bytes per Decode call
  uint32_t requestedDurationMs;  // input to Open: ms of audio wanted per block, 0 = any
  uint32_t durationMs;           // total length of the stream, 0 when unknown
};
#pragma pack(pop)

static_assert(sizeof(WaveFormatEx) == 18);
static_assert(sizeof(AudioFormat) == 32);
static_assert(offsetof(AudioFormat, blockSize) == 20);
static_assert(offsetof(AudioFormat, durationMs) == 28);

inline constexpr uint32_t kDefaultBlockSize = 32768;
inline constexpr uint16_t kWaveFormatPcm = 1;
inline constexpr uint16_t kWaveFormatCbSize = 18;

// Fills the wave part and the block size of a decoder's record for 16-bit PCM; the block size
// follows the requested duration (32768 when there is none), rounded as the wave output wants.
inline void fillPcmFormat(AudioFormat& format, uint16_t channels, uint32_t rate,
                          uint32_t requestedDurationMs) {
  const uint16_t bits = 16;
  format.wave.wFormatTag = kWaveFormatPcm;
  format.wave.nChannels = channels;
  format.wave.nSamplesPerSec = rate;
  format.wave.nBlockAlign = static_cast<uint16_t>(bits * channels / 8);
  format.wave.nAvgBytesPerSec = bits * channels * rate / 8;
  format.wave.wBitsPerSample = bits;
  format.wave.cbSize = kWaveFormatCbSize;
  format.requestedDurationMs = requestedDurationMs;
  if (requestedDurationMs == 0) {
    format.blockSize = kDefaultBlockSize;
  } else {
    const uint64_t bytes = uint64_t{bits} * channels * rate * requestedDurationMs / 8000;
    format.blockSize = static_cast<uint32_t>(bytes + bytes % format.wave.nBlockAlign);
  }
}

}  // namespace orvel
