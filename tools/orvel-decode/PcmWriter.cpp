#include "PcmWriter.h"

#include <unistd.h>

#include <cstdio>

#include "platform/wave/WavHeader.h"

namespace orvel {

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
  m_format = PcmFormat{channels, rate, bits};
  m_file = std::fopen(m_temporary.c_str(), "wb");
  if (m_file == nullptr) return false;
  return !m_wav || writeWavHeader();
}

bool PcmWriter::writeWavHeader() {
  const auto header = WavHeader::make(m_format, m_dataBytes);
  return std::fseek(m_file, 0, SEEK_SET) == 0 &&
         std::fwrite(header.data(), 1, header.size(), m_file) == header.size();
}

bool PcmWriter::write(const void* data, size_t bytes) {
  m_dataBytes += bytes;
  return std::fwrite(data, 1, bytes, m_file) == bytes;
}

bool PcmWriter::finish() {
  bool ok = !m_wav || writeWavHeader();
  ok = std::fflush(m_file) == 0 && fsync(fileno(m_file)) == 0 && ok;
  ok = std::fclose(m_file) == 0 && ok;
  m_file = nullptr;
  if (ok) ok = std::rename(m_temporary.c_str(), m_path.c_str()) == 0;
  if (!ok) std::remove(m_temporary.c_str());
  return ok;
}

}  // namespace orvel
