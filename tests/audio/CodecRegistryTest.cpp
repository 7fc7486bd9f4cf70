#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "audio/BuiltinCodecs.h"
#include "audio/CodecRegistry.h"
#include "audio/Mp3Decoder.h"
#include "audio/OggDecoder.h"
#include "audio/ResampleFilter.h"

namespace orvel {
namespace {

std::string folderWithCodecLibrary() {
  const std::string folder = testing::TempDir() + "/codec-scan";
  std::filesystem::create_directories(folder);
  std::ofstream(folder + "/libOvAudioAac.so") << "not a library";
  return folder;
}

TEST(CodecRegistry, MatchesShortNamesAndExtensionsWithoutCase) {
  CodecRegistry registry(CodecRegistry::kLibraryPattern, folderWithCodecLibrary());
  for (const char16_t* name : {u"mp3", u"MP2", u"/music/song.mp1", u"OGG", u"radio.ogg"}) {
    EXPECT_NE(registry.FindEntry(name, false), nullptr) << toUtf8(name);
  }
  for (const char16_t* name :
       {u"aac", u"MP3 Audio Format", u"mp3 audio format", u"mp3x", u"", u"wav"}) {
    EXPECT_EQ(registry.FindEntry(name, false), nullptr) << toUtf8(name);
  }
  EXPECT_EQ(registry.FindEntry(u"mp3", true), nullptr);  // no encoders
  const CodecEntry* ogg = registry.FindEntry(u"x.OGG", false);
  ASSERT_NE(ogg, nullptr);
  EXPECT_EQ(ogg->shortName, u"OGG");
  EXPECT_EQ(ogg->name, u"OGG Audio Format");
  // The codec library in the folder adds nothing.
  EXPECT_EQ(registry.entryCount(), 2u);
  EXPECT_EQ(registry.providerCount(), 1u);
}

TEST(CodecRegistry, CreatesDecodersByNameAndTheFilterOnlyAfterALookup) {
  CodecRegistry registry(CodecRegistry::kLibraryPattern, folderWithCodecLibrary());
  AudioFilter* filter = reinterpret_cast<AudioFilter*>(1);
  EXPECT_FALSE(registry.CreateFilter(&filter, u"ResampleFilter"));
  EXPECT_EQ(filter, nullptr);

  AudioDecoder* decoder = reinterpret_cast<AudioDecoder*>(1);
  EXPECT_FALSE(registry.CreateDecoder(&decoder, u"aac"));
  EXPECT_EQ(decoder, nullptr);
  ASSERT_TRUE(registry.CreateDecoder(&decoder, u"Track.Mp2"));
  EXPECT_NE(dynamic_cast<Mp3Decoder*>(decoder), nullptr);
  decoder->Release();
  ASSERT_TRUE(registry.CreateDecoder(&decoder, u"ogg"));
  EXPECT_NE(dynamic_cast<OggDecoder*>(decoder), nullptr);
  decoder->Release();

  ASSERT_TRUE(registry.CreateFilter(&filter, u"resamplefilter"));
  EXPECT_NE(dynamic_cast<ResampleFilter*>(filter), nullptr);
  filter->Release();
  EXPECT_FALSE(registry.CreateFilter(&filter, u"Resample"));
}

// A registry whose only provider counts the loads it is asked to make ahead.
class CountingRegistry : public CodecRegistry {
 public:
  static inline int prepared = 0;
  CountingRegistry() : CodecRegistry(kLibraryPattern, folderWithCodecLibrary()) {}

 protected:
  CodecProvider* createProvider(ProviderSource source, const std::string&) override {
    if (source != ProviderSource::kBuiltin) return nullptr;
    auto* provider = new CodecProvider;
    provider->prepare = [] { ++prepared; };
    registerEntry(provider, u"Test Format", u"TST", {u"tst"}, kCodecCanDecode);
    return provider;
  }
};

TEST(CodecRegistry, PrepareScansOnceAndAsksEveryProviderEachTime) {
  CountingRegistry registry;
  CountingRegistry::prepared = 0;
  registry.Prepare();
  EXPECT_EQ(registry.providerCount(), 1u);
  EXPECT_EQ(CountingRegistry::prepared, 1);
  registry.Prepare();
  EXPECT_EQ(registry.providerCount(), 1u);  // no second scan
  EXPECT_EQ(CountingRegistry::prepared, 2);
  EXPECT_NE(registry.FindEntry(u"x.tst", false), nullptr);
}

TEST(BuiltinCodecs, CreatorGoesByTheExtension) {
  for (const char16_t* name : {u"MP3", u"song.Mp2", u"mp1", u"OGG", u"a.b.ogg"}) {
    AudioDecoder* decoder = nullptr;
    ASSERT_TRUE(BuiltinCodecs::createDecoder(&decoder, name)) << toUtf8(name);
    ASSERT_NE(decoder, nullptr);
    const bool isOgg = dynamic_cast<OggDecoder*>(decoder) != nullptr;
    EXPECT_EQ(isOgg, equalsNoCase(formatExtension(name), u"ogg"));
    decoder->Release();
  }
  for (const char16_t* name : {u"wav", u"", u"mp3a", u"mp3.wav"}) {
    AudioDecoder* decoder = nullptr;
    EXPECT_FALSE(BuiltinCodecs::createDecoder(&decoder, name)) << toUtf8(name);
    EXPECT_EQ(decoder, nullptr);
  }
}

}  // namespace
}  // namespace orvel
