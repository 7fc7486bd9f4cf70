#include "audio/ResampleFilter.h"

#include <algorithm>
#include <cstring>

namespace orvel {

int32_t ResampleFilter::Init(const FilterProperties* properties) {
  if (properties == nullptr || properties->size != kFilterPropertiesSize) return 2;
  m_properties = *properties;
  // Only linear interpolation is built; the windowed-sinc qualities use it too.
  if (m_properties.inputRate != 0 && m_properties.inputChannels > 0) {
    m_resampler = std::make_unique<Resampler>(
        static_cast<double>(m_properties.outputRate) / m_properties.inputRate,
        m_properties.inputChannels);
  }
  m_carryBytes = 0;
  return 0;
}

void ResampleFilter::writeOutput(int frames, uint8_t* out) {
  const int inChannels = m_properties.inputChannels;
  const int outChannels = m_properties.outputChannels;
  const int16_t* in = m_outputWork.data();
  if (inChannels == outChannels && m_properties.outputBits == 16) {
    std::memcpy(out, in, static_cast<size_t>(frames) * inChannels * 2);
    return;
  }
  // Channels first, as 16-bit samples; then the width.
  if (inChannels != outChannels) {
    std::vector<int16_t>& mixed = m_mixWork;
    if (mixed.size() < static_cast<size_t>(frames) * outChannels) {
      mixed.resize(static_cast<size_t>(frames) * outChannels);
    }
    for (int i = 0; i < frames; ++i) {
      if (inChannels == 1) {
        mixed[2 * i] = mixed[2 * i + 1] = in[i];
      } else {
        mixed[i] = mixToMono(in[2 * i], in[2 * i + 1]);
      }
    }
    in = mixed.data();
  }
  const size_t samples = static_cast<size_t>(frames) * outChannels;
  if (m_properties.outputBits == 16) {
    std::memcpy(out, in, samples * 2);
  } else {
    for (size_t i = 0; i < samples; ++i) out[i] = toUnsigned8(in[i]);
  }
}

bool ResampleFilter::convertChunk(const uint8_t* chunk, uint32_t bytes, uint8_t* out, uint32_t room,
                                  uint32_t& written) {
  written = 0;
  const int inChannels = m_properties.inputChannels;
  const int frames = static_cast<int>(bytes / (2 * inChannels));
  const int available = frames + static_cast<int>(m_carryBytes / (2 * inChannels));
  const double factor = static_cast<double>(m_properties.outputRate) / m_properties.inputRate;
  const int requested = static_cast<int>(factor * available) - Resampler::kGuardFrames;
  const uint32_t outFrameBytes = m_properties.outputChannels * m_properties.outputBits / 8;
  if (requested > 0 && room < static_cast<uint32_t>(requested) * outFrameBytes) return false;

  const size_t outputSamples =
      static_cast<size_t>(inChannels) * std::max(available, std::max(requested, 0)) + 32;
  if (m_outputWork.size() < outputSamples) m_outputWork.resize(outputSamples);
  const size_t carrySamples = m_carryBytes / 2;
  const size_t inputSamples = carrySamples + static_cast<size_t>(frames) * inChannels + 32;
  if (m_inputWork.size() < inputSamples) m_inputWork.resize(inputSamples);
  std::memcpy(m_inputWork.data() + carrySamples, chunk, bytes);

  // Too few frames for any output: they all wait for the next chunk.
  int consumed = 0;
  int produced = 0;
  if (requested > 0) {
    produced = m_resampler->process(available, consumed, requested, m_inputWork.data(),
                                    m_outputWork.data());
  }
  consumed = std::min(consumed, available);
  const size_t left = static_cast<size_t>(available - consumed) * inChannels;
  std::memmove(m_inputWork.data(), m_inputWork.data() + static_cast<size_t>(consumed) * inChannels,
               left * 2);
  m_carryBytes = static_cast<uint32_t>(left * 2);

  writeOutput(produced, out);
  written = static_cast<uint32_t>(produced) * outFrameBytes;
  return true;
}

int32_t ResampleFilter::Process(WaveHeader* block) {
  if (block == nullptr || block->dwBytesRecorded == 0) return 0;
  const FilterProperties& p = m_properties;
  if (p.inputRate == p.outputRate && p.inputBits == p.outputBits &&
      p.inputChannels == p.outputChannels) {
    return 0;
  }
  // Only 16-bit input comes from the decoders; other widths are refused.
  if (!m_resampler || p.inputBits != 16 || p.inputChannels < 1 || p.inputChannels > 2 ||
      p.outputChannels < 1 || p.outputChannels > 2 || (p.outputBits != 8 && p.outputBits != 16)) {
    return 1;
  }
  if (m_result.size() < block->dwBufferLength) m_result.resize(block->dwBufferLength);

  const uint32_t frameBytes = 2u * p.inputChannels;
  const uint32_t chunkBytes = kChunkBytes / frameBytes * frameBytes;
  const auto* input = reinterpret_cast<const uint8_t*>(block->lpData);
  const uint32_t inputBytes = block->dwBytesRecorded / frameBytes * frameBytes;
  uint32_t total = 0;
  for (uint32_t at = 0; at < inputBytes && total <= m_result.size(); at += chunkBytes) {
    uint32_t written = 0;
    const uint32_t bytes = std::min(chunkBytes, inputBytes - at);
    if (!convertChunk(input + at, bytes, m_result.data() + total,
                      static_cast<uint32_t>(m_result.size()) - total, written)) {
      return 1;
    }
    total += written;
  }
  if (total > block->dwBufferLength) return 1;
  block->dwBytesRecorded = total;
  std::memcpy(block->lpData, m_result.data(), total);
  return 0;
}

}  // namespace orvel
