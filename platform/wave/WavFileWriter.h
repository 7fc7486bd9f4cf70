#pragma once
// Writes PCM into a WAV file whose header is brought up to date after every write, so the file
// is a valid WAV file up to the last complete write even when the program is killed. Used by one
// thread at a time.

#include <cstdint>
#include <string>

#include "platform/wave/PcmFormat.h"

namespace orvel {

class WavFileWriter {
 public:
  WavFileWriter() = default;
  ~WavFileWriter();
  WavFileWriter(const WavFileWriter&) = delete;
  WavFileWriter& operator=(const WavFileWriter&) = delete;

  // Creates (or empties) the file and writes the header; false when it cannot be created.
  bool open(const std::string& path, const PcmFormat& format);
  // Appends PCM bytes (whole frames) and updates the sizes in the header.
  bool write(const uint8_t* data, uint32_t bytes);
  void close();

  uint64_t dataBytes() const { return m_dataBytes; }

 private:
  bool writeHeader();

  int m_fd = -1;
  PcmFormat m_format;
  uint64_t m_dataBytes = 0;
};

}  // namespace orvel
