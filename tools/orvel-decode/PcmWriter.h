#pragma once
// Writes decoded PCM to a file: a WAV file when the name ends in ".wav", raw PCM otherwise.
// The data go to a temporary file beside the target, which replaces the target only when
// everything was written, so a failed run never leaves a half-written file under the name.

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/wave/PcmFormat.h"

namespace orvel {

class PcmWriter {
 public:
  PcmWriter() = default;
  ~PcmWriter();
  PcmWriter(const PcmWriter&) = delete;
  PcmWriter& operator=(const PcmWriter&) = delete;

  bool open(const std::string& path, uint16_t channels, uint32_t rate, uint16_t bits);
  bool write(const void* data, size_t bytes);
  // Completes the header and renames the file into place.
  bool finish();

 private:
  bool writeWavHeader();

  std::string m_path;
  std::string m_temporary;
  FILE* m_file = nullptr;
  bool m_wav = false;
  PcmFormat m_format;
  uint64_t m_dataBytes = 0;
};

}  // namespace orvel
