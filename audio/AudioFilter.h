#pragma once
// A conversion of decoded PCM (rate, channels, sample width), applied in place to an audio
// block. The only one the program has is ResampleFilter.
//
// Created by the codec registry and initialised by the Player on its command thread; Process
// runs on the wave output's thread inside the Player's lock. No lock of its own.

#include <cstdint>

#include "audio/FilterProperties.h"
#include "audio/WaveHeader.h"

namespace orvel {

class AudioFilter {
 public:
  // 1. Configures the filter. 0 on success, 2 when properties->size is not 44.
  virtual int32_t Init(const FilterProperties* properties) = 0;
  // 2. Converts dwBytesRecorded bytes at lpData in place, with dwBufferLength bytes of room;
  //    sets dwBytesRecorded to the output length. 0 on success, non-zero on failure (the block
  //    then keeps its input). Does not block.
  virtual int32_t Process(WaveHeader* block) = 0;
  // 3. Destroys the filter.
  virtual void Release() = 0;
  // 4.
  virtual ~AudioFilter() = default;
};

}  // namespace orvel
