#pragma once
// The audio block that decoders fill, filters convert and the wave output queues: the wave
// device's buffer header, with the same field order and widths (pointer-sized fields follow
// the machine's pointer width).
//
// Decoders and filters use only lpData, dwBufferLength and dwBytesRecorded; the other fields
// belong to the wave output.

#include <cstdint>

namespace orvel {

struct WaveHeader {
  char* lpData = nullptr;        // the data area
  uint32_t dwBufferLength = 0;   // Decode: bytes wanted; Process: room for the output
  uint32_t dwBytesRecorded = 0;  // bytes of PCM in the data area
  uintptr_t dwUser = 0;
  uint32_t dwFlags = 0;
  uint32_t dwLoops = 0;
  WaveHeader* lpNext = nullptr;
  uintptr_t reserved = 0;
};

}  // namespace orvel
