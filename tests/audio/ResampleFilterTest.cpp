#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "audio/ResampleFilter.h"

namespace orvel {
namespace {

FilterProperties properties(uint32_t inRate, uint8_t inChannels, uint32_t outRate,
                            uint8_t outChannels, uint8_t outBits = 16) {
  FilterProperties p;
  p.inputRate = inRate;
  p.inputBits = 16;
  p.inputChannels = inChannels;
  p.outputRate = outRate;
  p.outputBits = outBits;
  p.outputChannels = outChannels;
  return p;
}

// Runs one block through the filter; returns the output bytes (the block's input on failure).
std::vector<uint8_t> run(ResampleFilter& filter, const std::vector<int16_t>& samples,
                         int32_t* result = nullptr, uint32_t room = 0) {
  std::vector<uint8_t> data(std::max<size_t>(samples.size() * 2, room == 0 ? 0 : room) +
                            samples.size() * 16 + 64);
  if (!samples.empty()) std::memcpy(data.data(), samples.data(), samples.size() * 2);
  WaveHeader block;
  block.lpData = reinterpret_cast<char*>(data.data());
  block.dwBytesRecorded = static_cast<uint32_t>(samples.size() * 2);
  block.dwBufferLength = room != 0 ? room : static_cast<uint32_t>(data.size());
  const int32_t r = filter.Process(&block);
  if (result != nullptr) *result = r;
  data.resize(block.dwBytesRecorded);
  return data;
}

std::vector<int16_t> asSamples(const std::vector<uint8_t>& bytes) {
  std::vector<int16_t> out(bytes.size() / 2);
  std::memcpy(out.data(), bytes.data(), out.size() * 2);
  return out;
}

TEST(ResampleFilter, LeavesEqualFormatsAndEmptyBlocksAlone) {
  ResampleFilter filter;
  FilterProperties wrong = properties(44100, 2, 48000, 2);
  wrong.size = 40;
  EXPECT_EQ(filter.Init(&wrong), 2);
  const FilterProperties same = properties(44100, 2, 44100, 2);
  ASSERT_EQ(filter.Init(&same), 0);
  const std::vector<int16_t> input = {1, -2, 3, -4, 5, -6};
  int32_t result = -1;
  EXPECT_EQ(asSamples(run(filter, input, &result)), input);
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(run(filter, {}, &result).empty());
  EXPECT_EQ(result, 0);
}

TEST(ResampleFilter, ChunkCountsOfTheDoublingAndHalvingCases) {
  ResampleFilter up;
  const FilterProperties upProperties = properties(22050, 1, 44100, 1);
  ASSERT_EQ(up.Init(&upProperties), 0);
  Resampler probe(2.0, 1);
  EXPECT_EQ(probe.step(), 16384u);
  // 1023 frames: 2036 out, 1018 consumed, 5 carried into the next block.
  EXPECT_EQ(run(up, std::vector<int16_t>(1023, 100)).size(), 2036u * 2);
  EXPECT_EQ(run(up, std::vector<int16_t>(1023, 100)).size(), 2u * (2 * 1028 - 10));

  ResampleFilter down;
  const FilterProperties downProperties = properties(44100, 2, 22050, 2);
  ASSERT_EQ(down.Init(&downProperties), 0);
  EXPECT_EQ(Resampler(0.5, 2).step(), 65536u);
  EXPECT_EQ(run(down, std::vector<int16_t>(2 * 511, 100)).size(), 245u * 4);
}

// Whatever the block sizes, output frame k is the input interpolated at k * step / 32768.
TEST(ResampleFilter, OutputIsTheLinearInterpolationOfTheWholeStream) {
  std::mt19937 random(7);
  for (const auto& [inRate, outRate, channels] :
       {std::tuple{44100u, 48000u, 2}, std::tuple{48000u, 44100u, 2}, std::tuple{22050u, 44100u, 1},
        std::tuple{8000u, 48000u, 1}}) {
    SCOPED_TRACE(testing::Message() << inRate << " -> " << outRate << ", " << channels);
    std::uniform_int_distribution<int> sample(-32768, 32767);
    std::vector<int16_t> input(30000 * channels);
    for (auto& s : input) s = static_cast<int16_t>(sample(random));
    ResampleFilter filter;
    const FilterProperties p =
        properties(inRate, static_cast<uint8_t>(channels), outRate, static_cast<uint8_t>(channels));
    ASSERT_EQ(filter.Init(&p), 0);
    std::vector<int16_t> output;
    std::uniform_int_distribution<size_t> blockFrames(1, 5000);
    for (size_t at = 0; at < input.size();) {
      const size_t n = std::min(blockFrames(random) * channels, input.size() - at);
      const std::vector<int16_t> block(input.begin() + at, input.begin() + at + n);
      const std::vector<int16_t> out = asSamples(run(filter, block));
      output.insert(output.end(), out.begin(), out.end());
      at += n;
    }
    const double factor = static_cast<double>(outRate) / inRate;
    ASSERT_GT(output.size(), static_cast<size_t>(factor * input.size()) - 200 * channels);
    const uint64_t step = static_cast<uint64_t>(32768 / factor + 0.5);
    for (size_t k = 0; k < output.size() / channels; ++k) {
      const uint64_t t = k * step;
      const size_t i = t >> 15;
      const int64_t f = static_cast<int64_t>(t & 32767);
      for (int ch = 0; ch < channels; ++ch) {
        const int64_t x0 = input[i * channels + ch];
        const int64_t x1 = input[(i + 1) * channels + ch];
        const int64_t expected = (x0 * (32768 - f) + x1 * f + 16384) >> 15;
        ASSERT_EQ(output[k * channels + ch], expected) << "frame " << k;
      }
    }
  }
}

TEST(ResampleFilter, MixesChannelsAndNarrowsSamples) {
  EXPECT_EQ(ResampleFilter::mixToMono(3, -4), 0);
  EXPECT_EQ(ResampleFilter::mixToMono(-3, -4), -3);
  EXPECT_EQ(ResampleFilter::mixToMono(32767, 32767), 32767);
  EXPECT_EQ(ResampleFilter::toUnsigned8(0), 128);
  EXPECT_EQ(ResampleFilter::toUnsigned8(32767), 255);
  EXPECT_EQ(ResampleFilter::toUnsigned8(-32768), 0);

  ResampleFilter toMono;
  const FilterProperties monoProperties = properties(44100, 2, 44100, 1);
  ASSERT_EQ(toMono.Init(&monoProperties), 0);
  std::vector<int16_t> pairs;
  for (int i = 0; i < 30; ++i) pairs.insert(pairs.end(), {-3, -4});
  const std::vector<int16_t> mono = asSamples(run(toMono, pairs));
  ASSERT_EQ(mono.size(), 20u);  // ten frames wait in the carry
  for (int16_t s : mono) EXPECT_EQ(s, -3);

  ResampleFilter toStereo8;
  const FilterProperties stereo8 = properties(44100, 1, 44100, 2, 8);
  ASSERT_EQ(toStereo8.Init(&stereo8), 0);
  std::vector<int16_t> ramp(40);
  for (int i = 0; i < 40; ++i) ramp[i] = static_cast<int16_t>(i * 256);
  const std::vector<uint8_t> bytes = run(toStereo8, ramp);
  ASSERT_EQ(bytes.size(), 60u);
  for (size_t i = 0; i < 30; ++i) {
    EXPECT_EQ(bytes[2 * i], 128 + i);
    EXPECT_EQ(bytes[2 * i + 1], 128 + i);
  }
}

TEST(ResampleFilter, KeepsTheInputWhenTheOutputWouldNotFit) {
  ResampleFilter filter;
  const FilterProperties p = properties(22050, 1, 44100, 2);
  ASSERT_EQ(filter.Init(&p), 0);
  const std::vector<int16_t> input(3000, 7);
  int32_t result = 0;
  const std::vector<uint8_t> kept = run(filter, input, &result, 6000);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(asSamples(kept), input);
}

}  // namespace
}  // namespace orvel
