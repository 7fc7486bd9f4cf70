// Decoding skin images through the chunked data callback.
#include <gtest/gtest.h>

#include <QImageWriter>
#include <QRandomGenerator>
#include <filesystem>

#include "SkinFixture.h"
#include "platform/FilePath.h"
#include "skin/ImageDecoder.h"
#include "tests/support/TempHome.h"

namespace orvel {
namespace {

// A one-pixel red GIF (Qt reads GIF but cannot write it).
const char kRedGif[] =
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01"
    "\x00\x00\x02\x02\x44\x01\x00;";

class ImageDecoderTest : public ::testing::Test {
 protected:
  ImageDecoderTest() { test::skinTestApplication(); }
  test::TempHome home;
  ImageDecoder decoder;
};

TEST_F(ImageDecoderTest, DecodesEachShippedFormatIntoAnOpaqueImage) {
  QImage source(7, 5, QImage::Format_RGB32);
  source.fill(QColor(200, 40, 10));
  for (const char* format : {"png", "bmp", "jpg"}) {
    const std::string path = home.path(std::string("image.") + format);
    ASSERT_TRUE(source.save(QString::fromStdString(path), format)) << format;
    const QImage image = decoder.Decode(fromFsPath(path));
    ASSERT_EQ(image.size(), QSize(7, 5)) << format;
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_NEAR(image.pixelColor(3, 2).red(), 200, 8) << format;
    EXPECT_NEAR(image.pixelColor(3, 2).green(), 40, 8) << format;
  }
  test::writeFile(home.path("red.gif"), std::string(kRedGif, sizeof kRedGif - 1));
  const QImage gif = decoder.Decode(fromFsPath(home.path("red.gif")));
  ASSERT_EQ(gif.size(), QSize(1, 1));
  EXPECT_EQ(gif.pixelColor(0, 0), QColor(255, 0, 0));
}

TEST_F(ImageDecoderTest, AFileOfManyPiecesDecodesExactly) {
  QImage noise(300, 300, QImage::Format_RGB32);
  QRandomGenerator random(7);
  for (int y = 0; y < noise.height(); ++y) {
    for (int x = 0; x < noise.width(); ++x) noise.setPixel(x, y, 0xFF000000u | random.generate());
  }
  const std::string path = home.path("noise.png");
  ASSERT_TRUE(noise.save(QString::fromStdString(path)));
  ASSERT_GT(std::filesystem::file_size(path), 4u * ImageDecoder::kReadPieceBytes);
  EXPECT_EQ(decoder.Decode(fromFsPath(path)), noise);
}

TEST_F(ImageDecoderTest, MissingUnreadableAndOversizedFiles) {
  EXPECT_TRUE(decoder.Decode(fromFsPath(home.path("none.png"))).isNull());
  EXPECT_TRUE(decoder.Decode(u"").isNull());
  EXPECT_TRUE(decoder.Decode(fromFsPath(home.root())).isNull());
  test::writeFile(home.path("bad.png"), "\x89PNG\r\n\x1a\nbroken");
  EXPECT_TRUE(decoder.Decode(fromFsPath(home.path("bad.png"))).isNull());

  QImage wide(ImageDecoder::kMaxSidePixels + 500, 4, QImage::Format_RGB32);
  wide.fill(Qt::blue);
  ASSERT_TRUE(wide.save(QString::fromStdString(home.path("wide.png"))));
  const QImage limited = decoder.Decode(fromFsPath(home.path("wide.png")));
  EXPECT_EQ(limited.width(), ImageDecoder::kMaxSidePixels);
  EXPECT_GE(limited.height(), 1);
}

}  // namespace
}  // namespace orvel
