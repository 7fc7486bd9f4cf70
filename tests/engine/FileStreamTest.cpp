#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/FileStream.h"
#include "engine/OpenDataStream.h"
#include "platform/FilePath.h"
#include "tests/support/TempHome.h"

namespace orvel {
namespace {

TEST(FileStream, WritesReadsAndSeeksLikeAFile) {
  test::TempHome home;
  const WString path = fromFsPath(home.path("rec/RadioRec.mp3"));
  std::filesystem::create_directories(home.path("rec"));
  DataStream* stream = nullptr;
  ASSERT_EQ(OpenDataStream(path, false, &stream), 0);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->GetSize(), 0);
  EXPECT_EQ(stream->Write("0123456789", 10), 10);
  EXPECT_EQ(stream->GetPosition(), 10);
  EXPECT_TRUE(stream->IsAtEnd());
  EXPECT_EQ(stream->Seek(-4, DataStream::kFromEnd), 6);
  char buffer[8] = {};
  EXPECT_EQ(stream->Read(buffer, 8), 4);
  EXPECT_EQ(std::string(buffer, 4), "6789");
  EXPECT_EQ(stream->Seek(2, DataStream::kFromStart), 2);
  EXPECT_EQ(stream->Seek(3, DataStream::kFromCurrent), 5);
  EXPECT_FALSE(stream->IsAtEnd());
  EXPECT_EQ(stream->Seek(-1, DataStream::kFromStart), -1);
  stream->Release();

  // Opening again for writing keeps the content; read only opens it for reading.
  ASSERT_EQ(OpenDataStream(path, false, &stream), 0);
  EXPECT_EQ(stream->GetSize(), 10);
  stream->Release();
  ASSERT_EQ(OpenDataStream(path, true, &stream), 0);
  EXPECT_EQ(stream->Write("x", 1), 0);
  EXPECT_EQ(stream->GetSize(), 10);
  stream->Release();
}

TEST(FileStream, HandsOutTheFileInChunksThatAddUpToIt) {
  test::TempHome home;
  std::string content(FileStream::kChunkBytes * 2 + 123, '\0');
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
  test::writeFile(home.path("a.mp3"), content);
  FileStream stream(home.path("a.mp3"), true);
  ASSERT_EQ(stream.IsOpen(), 1);
  std::string joined;
  for (;;) {
    const uint8_t* data = nullptr;
    uint32_t spare = 0;
    const int32_t n = stream.ReadChunk(&data, &spare);
    if (n == 0) break;
    ASSERT_NE(data, nullptr);
    joined.append(reinterpret_cast<const char*>(data), static_cast<size_t>(n));
    EXPECT_EQ(stream.GetPosition(), static_cast<int64_t>(joined.size()));
  }
  EXPECT_EQ(joined, content);
  EXPECT_TRUE(stream.IsAtEnd());
}

TEST(OpenDataStream, FailsForMissingFilesFoldersAndNetworkPaths) {
  test::TempHome home;
  DataStream* stream = reinterpret_cast<DataStream*>(1);
  EXPECT_EQ(OpenDataStream(fromFsPath(home.path("missing.mp3")), true, &stream), -1);
  EXPECT_EQ(stream, nullptr);
  EXPECT_EQ(OpenDataStream(fromFsPath(home.root()), true, &stream), -1);
  EXPECT_EQ(OpenDataStream(u"HTTP://example.invalid/stream", true, &stream), -1);
  EXPECT_EQ(OpenDataStream(fromFsPath(home.path("no/such/folder/rec.mp3")), false, &stream), -1);
  EXPECT_EQ(stream, nullptr);
}

}  // namespace
}  // namespace orvel
