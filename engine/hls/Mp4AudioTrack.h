#pragma once
// The audio track of a fragmented MP4 initialization section (moov): which track it is, the
// sample size its fragments default to, and how its samples are coded: AAC with the
// AudioSpecificConfig's object type, sample rate index and channel configuration, or MPEG audio
// frames as they are. Pure functions; any thread.

#include <cstddef>
#include <cstdint>

namespace orvel {

struct Mp4AudioTrack {
  uint32_t trackId = 0;
  uint32_t defaultSampleBytes = 0;  // from the track's trex, 0 when it gives none
  bool mpegAudio = false;           // samples are MPEG audio frames, not raw AAC
  unsigned objectType = 0;
  unsigned rateIndex = 0;
  unsigned channelConfig = 0;

  // Finds the first sound track in the section's moov. False when there is none that we can
  // read.
  static bool read(const uint8_t* data, size_t size, Mp4AudioTrack& track);
};

}  // namespace orvel
