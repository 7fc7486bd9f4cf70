#pragma once
// Decodes skin images (PNG, BMP, JPEG, GIF) with Qt's image reader into opaque 32-bit images,
// the colour depth of the screen surfaces the controls draw on. The file is never read whole:
// the reader is fed through a data callback in pieces of at most 32 KiB, read into one buffer
// that the decoder keeps for its whole life.
// One object per process, made by the skin step of start-up; UI thread only. Decode blocks on
// the disk.

#include <QImage>
#include <cstdint>
#include <vector>

#include "platform/Text.h"

namespace orvel {

class ImageDecoder {
 public:
  static constexpr uint32_t kReadPieceBytes = 32768;
  // The largest width or height produced; bigger images are reduced to fit, keeping the ratio.
  static constexpr int kMaxSidePixels = 10000;

  // The data callback: reads up to `wanted` bytes of the open file `fd` into `buffer`; the
  // number of bytes read, 0 at end of file, on an error or with an invalid descriptor.
  using DataCallback = uint32_t (*)(uint8_t* buffer, uint32_t wanted, intptr_t fd);

  ImageDecoder();

  // The image of the file, or a null image when the file cannot be opened or decoded.
  QImage Decode(const WString& path);

  // The largest piece that the data callback was asked for so far.
  uint32_t largestPieceBytes() const { return m_largestPieceBytes; }

 private:
  friend class ImageDecoderDevice;
  uint32_t readPiece(intptr_t fd, char* into, uint32_t wanted);

  std::vector<uint8_t> m_buffer;
  DataCallback m_callback;
  uint32_t m_largestPieceBytes = 0;
};

}  // namespace orvel
