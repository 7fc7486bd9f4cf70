#include "skin/ImageDecoder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QIODevice>
#include <QImageReader>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/FilePath.h"

namespace orvel {
namespace {

uint32_t readFromFile(uint8_t* buffer, uint32_t wanted, intptr_t fd) {
  if (fd < 0) return 0;
  for (;;) {
    const ssize_t got = ::read(static_cast<int>(fd), buffer, wanted);
    if (got >= 0) return static_cast<uint32_t>(got);
    if (errno != EINTR) return 0;
  }
}

}  // namespace

// Presents the open file to Qt's image reader; every read goes through the data callback.
class ImageDecoderDevice : public QIODevice {
 public:
  ImageDecoderDevice(ImageDecoder& decoder, int fd, qint64 size)
      : m_decoder(decoder), m_fd(fd), m_size(size) {}

  bool isSequential() const override { return false; }
  qint64 size() const override { return m_size; }
  bool seek(qint64 pos) override {
    if (pos < 0 || pos > m_size || ::lseek(m_fd, pos, SEEK_SET) < 0) return false;
    return QIODevice::seek(pos);
  }

 protected:
  qint64 readData(char* data, qint64 maxSize) override {
    qint64 total = 0;
    while (total < maxSize) {
      const auto wanted =
          static_cast<uint32_t>(std::min<qint64>(maxSize - total, ImageDecoder::kReadPieceBytes));
      const uint32_t got = m_decoder.readPiece(m_fd, data + total, wanted);
      if (got == 0) break;
      total += got;
    }
    return total;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  ImageDecoder& m_decoder;
  int m_fd;
  qint64 m_size;
};

ImageDecoder::ImageDecoder() : m_buffer(kReadPieceBytes), m_callback(readFromFile) {}

uint32_t ImageDecoder::readPiece(intptr_t fd, char* into, uint32_t wanted) {
  wanted = std::min(wanted, kReadPieceBytes);
  m_largestPieceBytes = std::max(m_largestPieceBytes, wanted);
  const uint32_t got = std::min(m_callback(m_buffer.data(), wanted, fd), wanted);
  std::memcpy(into, m_buffer.data(), got);
  return got;
}

QImage ImageDecoder::Decode(const WString& path) {
  if (path.empty()) return {};
  const int fd = ::open(toFsPath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  struct stat info {};
  QImage image;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    ImageDecoderDevice device(*this, fd, info.st_size);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device);
    const QSize size = reader.size();
    if (size.width() > kMaxSidePixels || size.height() > kMaxSidePixels) {
      const QSize limited = size.scaled(kMaxSidePixels, kMaxSidePixels, Qt::KeepAspectRatio);
      reader.setScaledSize(limited.expandedTo(QSize(1, 1)));
    }
    image = reader.read();
  }
  ::close(fd);
  if (image.isNull()) return {};
  return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace orvel
