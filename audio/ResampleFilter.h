#pragma once
// The conversion filter between a decoder's PCM and the format the wave device plays: sample
// rate (linear interpolation by a Resampler), channel count (mono and stereo both ways) and
// sample width (16 or 8 bits out; 16-bit input). The input of each block is converted in
// chunks of at most 2046 bytes; the input frames the Resampler could not use yet wait, as the
// carry, for the next chunk or block, so the conversion is seamless over a whole stream.
//
// Created by the codec registry and initialised once by the Player; Process runs on the wave
// output's thread under the Player's lock. No lock of its own.

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/AudioFilter.h"
#include "audio/Resampler.h"

namespace orvel {

class ResampleFilter : public AudioFilter {
 public:
  static constexpr uint32_t kChunkBytes = 2046;

  int32_t Init(const FilterProperties* properties) override;
  int32_t Process(WaveHeader* block) override;
  void Release() override { delete this; }

  // The 8-bit sample of a 16-bit one: its high byte, offset to unsigned.
  static uint8_t toUnsigned8(int16_t sample) { return static_cast<uint8_t>((sample >> 8) + 128); }
  // The mono sample of a stereo pair, truncating toward zero.
  static int16_t mixToMono(int16_t left, int16_t right) {
    return static_cast<int16_t>((left + right) / 2);
  }

 private:
  // Converts one chunk of whole input frames into `room` at `out`; false when it would not fit.
  bool convertChunk(const uint8_t* chunk, uint32_t bytes, uint8_t* out, uint32_t room,
                    uint32_t& written);
  void writeOutput(int frames, uint8_t* out);

  FilterProperties m_properties{};
  std::unique_ptr<Resampler> m_resampler;  // null until Init sees an input rate
  std::vector<int16_t> m_outputWork;       // the Resampler's output, input channels
  std::vector<int16_t> m_inputWork;        // the carry, then the chunk
  std::vector<int16_t> m_mixWork;          // channel-converted output before narrowing
  uint32_t m_carryBytes = 0;
  std::vector<uint8_t> m_result;  // a whole block's output, reused
};

}  // namespace orvel
