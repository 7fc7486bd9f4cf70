#pragma once
// The DataStream over a file: what recordings write to and what the decoders read local files
// from. Reads, writes and seeks go straight to the file; ReadChunk hands out the next piece of
// the file from a buffer of the stream's own, so the MP3 decoder can read files as it reads
// the network.
//
// Used by one thread at a time (the recording lock guards a recording's file). Reads and
// writes block on the disk only.

#include <cstdint>
#include <string>
#include <vector>

#include "audio/DataStream.h"

namespace orvel {

class FileStream : public DataStream {
 public:
  static constexpr int32_t kChunkBytes = 32768;

  // Opens `path` (a file-system path): read only for an existing file, else read and write,
  // creating the file when missing. Check IsOpen.
  FileStream(const std::string& path, bool readOnly);
  ~FileStream() override;
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  int32_t IsOpen() override { return m_fd >= 0 ? 1 : 0; }
  int32_t Read(void* buffer, int32_t size) override;
  int32_t ReadChunk(const uint8_t** data, uint32_t* spare) override;
  int32_t Write(const void* buffer, int32_t size) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t GetPosition() override;
  int64_t GetSize() override;
  void Release() override { delete this; }

 private:
  int m_fd = -1;
  std::vector<uint8_t> m_chunk;  // the run that ReadChunk handed out last
};

}  // namespace orvel
