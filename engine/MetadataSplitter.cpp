#include "engine/MetadataSplitter.h"

#include <algorithm>
#include <cstring>

namespace orvel {

MetadataSplitter::MetadataSplitter(TitleSink onTitle) : m_onTitle(std::move(onTitle)) {}

void MetadataSplitter::reset(int32_t metaint) {
  m_metaint = std::max(metaint, 0);
  m_countdown = static_cast<uint32_t>(m_metaint);
  m_metadataLeft = 0;
  m_metadataLength = 0;
}

uint32_t MetadataSplitter::split(const uint8_t* input, uint32_t n, uint8_t* output) {
  if (m_metaint <= 0) {
    if (output != input) std::memmove(output, input, n);
    return n;
  }
  uint32_t in = 0;
  uint32_t out = 0;
  while (in < n) {
    if (m_countdown > 0) {
      const uint32_t k = std::min(m_countdown, n - in);
      std::memmove(output + out, input + in, k);
      out += k;
      in += k;
      m_countdown -= k;
      continue;
    }
    if (m_metadataLeft == 0) {
      m_metadataLeft = static_cast<uint32_t>(input[in++]) * 16;
      if (m_metadataLeft == 0) m_countdown = static_cast<uint32_t>(m_metaint);
      continue;
    }
    // m_metadataLeft never exceeds 4080, so the block always fits the buffer.
    const uint32_t k = std::min(m_metadataLeft, n - in);
    std::memcpy(m_metadata.data() + m_metadataLength, input + in, k);
    m_metadataLength += k;
    in += k;
    m_metadataLeft -= k;
    if (m_metadataLeft == 0) {
      m_countdown = static_cast<uint32_t>(m_metaint);
      m_audioBeforeBlock = out;
      finishBlock();
      m_metadataLength = 0;
    }
  }
  return out;
}

void MetadataSplitter::finishBlock() {
  std::string_view title;
  if (m_metadataLength > 0 && extractTitle({m_metadata.data(), m_metadataLength}, title) &&
      m_onTitle) {
    m_onTitle(title);
  }
}

bool MetadataSplitter::extractTitle(std::string_view block, std::string_view& title) {
  static constexpr std::string_view kKey = "StreamTitle='";
  block = block.substr(0, block.find('\0'));
  const size_t key = block.find(kKey);
  if (key == std::string_view::npos) return false;
  const size_t start = key + kKey.size();
  const size_t end = block.find('\'', start);
  if (end == std::string_view::npos) return false;
  title = block.substr(start, end - start);
  return true;
}

}  // namespace orvel
