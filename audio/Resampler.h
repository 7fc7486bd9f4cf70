#pragma once
// A streaming sample-rate converter by linear interpolation, with a 15-bit fixed-point phase
// that carries over from call to call, so that output frame k is the input interpolated at
// k * step / 32768 however the input was cut. Each channel keeps a history of 4352 samples
// whose first 10 are the guard samples before the current position.
//
// Used by ResampleFilter on the wave output's thread; no lock.

#include <cstdint>
#include <vector>

namespace orvel {

class Resampler {
 public:
  static constexpr int kFillFrames = 4096;
  static constexpr int kGuardFrames = 10;
  static constexpr int kHistoryFrames = 4352;
  static constexpr int kPhaseBits = 15;
  static constexpr uint32_t kPhaseOne = 1u << kPhaseBits;

  // factor = output rate / input rate; channels 1 or 2.
  Resampler(double factor, int channels);

  // Converts up to `available` interleaved input frames into at most `requested` output
  // frames; `consumed` receives the input frames used up (the rest must be given again, at
  // the start of the next call's input). Returns the frames produced.
  int process(int available, int& consumed, int requested, const int16_t* input, int16_t* output);

  // The step between output frames, in 1/32768 of an input frame.
  uint32_t step() const { return m_step; }

 private:
  double m_factor;
  int m_channels;
  uint32_t m_step;
  int m_roundLimit;                             // output frames per round, within one fill
  std::vector<std::vector<int16_t>> m_history;  // per channel, kHistoryFrames
  uint32_t m_phase = 0;                         // position in the history, 1/32768 frames
  bool m_firstCall = true;
};

}  // namespace orvel
