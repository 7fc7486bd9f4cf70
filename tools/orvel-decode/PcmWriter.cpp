#include "PcmWriter.h"

#include <unistd.h>

#include <cstdio>

namespace orvel {
namespace {

void put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

PcmWriter::~PcmWriter() {
  if (m_file != nullptr) {
    std::fclose(m_file);
    std::remove(m_temporary.c_str());
  }
}

bool PcmWriter::open(const std::string& path, uint16_t channels, uint32_t rate, uint16_t bits) {
  m_path = path;
  m_temporary = path + ".part" + std::to_string(getpid());
  m_wav = path.size() >= 4 && path.compare(path.size() - 4, 4, ".wav") == 0;
  m_channels = channels;
  m_rate = rate;
  m_bits = bits;
  m_file = std::fopen(m_temporary.c_str(), "wb");
  if (m_file == nullptr) return false;
  return !m_wav || writeWavHeader(0);
}

bool PcmWriter::writeWavHeader(uint32_t dataBytes) {
  uint8_t header[44] = {'R', 'I', 'F', 'F', 0,   0,   0,  0, 'W', 'A',
                        'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0,   0};
  const uint16_t blockAlign = static_cast<uint16_t>(m_channels * m_bits / 8);
  put32(header + 4, 36 + dataBytes);
  put16(header + 20, 1);
  put16(header + 22, m_channels);
  put32(header + 24, m_rate);
  put32(header + 28, m_rate * blockAlign);
  put16(header + 32, blockAlign);
  put16(header + 34, m_bits);
  header[36] = 'd';
  header[37] = 'a';
  header[38] = 't';
  header[39] = 'a';
  put32(header + 40, dataBytes);
  return std::fseek(m_file, 0, SEEK_SET) == 0 && std::fwrite(header, 1, 44, m_file) == 44;
}

bool PcmWriter::write(const void* data, size_t bytes) {
  m_dataBytes += bytes;
  return std::fwrite(data, 1, bytes, m_file) == bytes;
}

bool PcmWriter::finish() {
  const uint32_t dataBytes =
      m_dataBytes > 0xFFFFFFD0u ? 0xFFFFFFD0u : static_cast<uint32_t>(m_dataBytes);
  bool ok = !m_wav || writeWavHeader(dataBytes);
  ok = std::fflush(m_file) == 0 && fsync(fileno(m_file)) == 0 && ok;
  ok = std::fclose(m_file) == 0 && ok;
  m_file = nullptr;
  if (ok) ok = std::rename(m_temporary.c_str(), m_path.c_str()) == 0;
  if (!ok) std::remove(m_temporary.c_str());
  return ok;
}

}  // namespace orvel
