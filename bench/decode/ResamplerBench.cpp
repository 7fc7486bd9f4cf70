// How fast the linear resampling filter converts 44.1 kHz stereo to 48 kHz stereo, in
// one-second blocks as the player hands them over. The "x_realtime" counter is seconds of
// audio converted per second of processor time.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "audio/ResampleFilter.h"

namespace {

void convertOneSecondBlocks(benchmark::State& state) {
  const uint32_t inRate = 44100;
  const uint32_t outRate = static_cast<uint32_t>(state.range(0));
  orvel::FilterProperties properties;
  properties.inputRate = inRate;
  properties.inputBits = 16;
  properties.inputChannels = 2;
  properties.outputRate = outRate;
  properties.outputBits = 16;
  properties.outputChannels = 2;
  orvel::ResampleFilter filter;
  filter.Init(&properties);

  std::vector<int16_t> second(inRate * 2);
  for (size_t i = 0; i < second.size(); ++i) {
    second[i] = static_cast<int16_t>(12000 * std::sin(static_cast<double>(i) * 0.01));
  }
  std::vector<char> buffer(std::max(inRate, outRate) * 4 + 8192);
  for (auto _ : state) {
    std::memcpy(buffer.data(), second.data(), second.size() * 2);
    orvel::WaveHeader block;
    block.lpData = buffer.data();
    block.dwBytesRecorded = static_cast<uint32_t>(second.size() * 2);
    block.dwBufferLength = static_cast<uint32_t>(buffer.size());
    benchmark::DoNotOptimize(filter.Process(&block));
  }
  state.counters["x_realtime"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(convertOneSecondBlocks)->Arg(48000)->Arg(22050)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
