// The skin description file: its line and section grammar, value rules, error texts and the
// scaling of a skin to the screen width.
#include <gtest/gtest.h>

#include "SkinFixture.h"
#include "platform/FilePath.h"
#include "resources/StringTable.h"
#include "skin/ImageDecoder.h"
#include "skin/SkinButtonElement.h"
#include "skin/SkinDescription.h"
#include "skin/SkinIniFile.h"
#include "skin/SkinPanelElement.h"
#include "skin/SkinSectionReader.h"
#include "skin/SkinTextElement.h"
#include "tests/support/TempHome.h"

namespace orvel {
namespace {

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

// Replaces the value of key within one section.
std::string withValue(std::string text, const std::string& sectionName, const std::string& key,
                      const std::string& value) {
  const size_t start = text.find("[" + sectionName + "]");
  const size_t at = text.find("\r\n" + key + "=", start) + 2;
  const size_t end = text.find("\r\n", at);
  text.replace(at, end - at, key + "=" + value);
  return text;
}

class SkinDescriptionTest : public ::testing::Test {
 protected:
  SkinDescriptionTest() { test::skinTestApplication(); }

  bool parse(const std::string& text, int frames = 6) {
    const std::string path = test::writeSkin(home.path("skin"), text, frames);
    return description.Parse(fromFsPath(path), error);
  }
  template <typename Element>
  Element& element(int index) {
    auto* found = dynamic_cast<Element*>(description.ElementForLayout(index));
    EXPECT_NE(found, nullptr);
    return *found;
  }

  test::TempHome home;
  ImageDecoder decoder;
  SkinDescription description{&decoder};
  WString error;
};

TEST_F(SkinDescriptionTest, CrLfFileParsesCompletelyAndLfOnlyFileYieldsNoSection) {
  ASSERT_TRUE(parse(test::completeDescription())) << toUtf8(error);
  EXPECT_TRUE(error.empty());
  EXPECT_EQ(description.info()->name, u"Test");
  EXPECT_EQ(element<SkinTextElement>(SkinDescription::kLiveText).fontName, u"DejaVu Sans");

  std::string lfOnly = test::completeDescription();
  replaceAll(lfOnly, "\r\n", "\n");
  EXPECT_FALSE(parse(lfOnly));
  EXPECT_EQ(error, u"Name : Info\nSection : Width");
}

TEST_F(SkinDescriptionTest, ReadingStopsAtAHeaderThatFollowsAKeyLine) {
  std::string text = test::section("Info") + test::completeDescription();
  replaceAll(text, "File=main.png\r\n\r\n[PlayBtn]", "File=main.png\r\n[PlayBtn]");
  EXPECT_FALSE(parse(text));
  EXPECT_EQ(error, u"Name : LiveText\nSection : File");
  EXPECT_EQ(element<SkinPanelElement>(SkinDescription::kMainPanel).width, 240);
  EXPECT_TRUE(element<SkinButtonElement>(SkinDescription::kPlayBtn).imagePath.empty());
}

TEST_F(SkinDescriptionTest, ZeroIsAcceptedOnlyAsTheSingleCharacterZero) {
  ASSERT_TRUE(parse(withValue(test::completeDescription(), "MainPanel", "X", "0")));
  for (const char* missing : {"00", "", "-1", "abc"}) {
    EXPECT_FALSE(parse(withValue(test::completeDescription(), "MainPanel", "X", missing)))
        << missing;
    EXPECT_EQ(error, u"Name : MainPanel\nSection : X") << missing;
  }
  EXPECT_EQ(SkinSectionReader::parseInteger("  -12px"), -12);
  EXPECT_EQ(SkinSectionReader::parseInteger("+7"), 7);
  EXPECT_EQ(SkinSectionReader::parseInteger(" 0"), std::nullopt);
}

TEST_F(SkinDescriptionTest, ScrollingIsAnyNonZeroValueAndRequired) {
  ASSERT_TRUE(parse(withValue(test::completeDescription(), "LiveText", "Scrolling", "2")));
  EXPECT_TRUE(element<SkinTextElement>(SkinDescription::kLiveText).scrolling);
  ASSERT_TRUE(parse(withValue(test::completeDescription(), "LiveText", "Scrolling", "0")));
  EXPECT_FALSE(element<SkinTextElement>(SkinDescription::kLiveText).scrolling);

  std::string text = test::completeDescription();
  replaceAll(text, "FontSize=12\r\nScrolling=1\r\n\r\n[Info]", "FontSize=12\r\n\r\n[Info]");
  EXPECT_FALSE(parse(text));
  EXPECT_EQ(error, u"Name : LiveText\nSection : Scrolling");
}

TEST_F(SkinDescriptionTest, ImageFilesAreCheckedWhenParsed) {
  ASSERT_TRUE(parse(withValue(test::completeDescription(), "MainPanel", "File", "")));
  auto* panel = description.ElementForDrawing(SkinDescription::kMainPanel);
  EXPECT_TRUE(static_cast<SkinPanelElement*>(panel)->image.isNull());

  EXPECT_FALSE(parse(withValue(test::completeDescription(), "PlayBtn", "File", "gone.png")));
  EXPECT_EQ(error, u"Name : PlayBtn\nSection : File");

  // A file that exists but is no image is not an error; the element has no image.
  test::writeFile(home.path("skin/junk.png"), "not an image");
  ASSERT_TRUE(parse(withValue(test::completeDescription(), "PlayBtn", "File", "junk.png")));
  auto* button = description.ElementForDrawing(SkinDescription::kPlayBtn);
  EXPECT_TRUE(static_cast<SkinButtonElement*>(button)->image.isNull());
}

TEST_F(SkinDescriptionTest, TheErrorIsThatOfTheLastFailingSection) {
  std::string text = withValue(test::completeDescription(), "MainPanel", "Y", "");
  text = withValue(text, "Info", "Comments", "x");
  replaceAll(text, "Comments=x\r\n", "");
  EXPECT_FALSE(parse(text));
  EXPECT_EQ(error, u"Name : Info\nSection : Comments");

  EXPECT_FALSE(description.Parse(fromFsPath(home.path("nothing.rs")), error));
  EXPECT_EQ(error, StringTable::load(kStrCannotOpenSkinFile));
}

TEST_F(SkinDescriptionTest, ButtonTextKeysAreOptionalAndStopAtTheFirstMissing) {
  ASSERT_TRUE(parse(test::completeDescription()));
  const auto& plain = element<SkinButtonElement>(SkinDescription::kPlayBtn);
  EXPECT_EQ(plain.textColor, qRgb(0, 0, 0));
  EXPECT_TRUE(plain.fontName.empty());

  std::string text = test::completeDescription();
  replaceAll(text, "[PlayBtn]\r\nFile=strip.png\r\nX=10\r\nY=10\r\nWidth=40\r\nHeight=20\r\n",
             "[PlayBtn]\r\nFile=strip.png\r\nX=10\r\nY=10\r\nWidth=40\r\nHeight=20\r\n"
             "TextColorR=300\r\nTextColorG=2\r\nTextColorB=3\r\nFontName=Face\r\nFontSize=9\r\n"
             "TextX=4\r\nTextY=5\r\nTextWidth=30\r\nTextHeight=10\r\n");
  ASSERT_TRUE(parse(text));
  const auto& full = element<SkinButtonElement>(SkinDescription::kPlayBtn);
  EXPECT_EQ(full.textColor, qRgb(300 & 0xFF, 2, 3));
  EXPECT_EQ(full.fontSize, 9);
  EXPECT_EQ(std::vector<int>({full.textLeft, full.textTop, full.textRight, full.textBottom}),
            std::vector<int>({4, 5, 34, 15}));

  replaceAll(text, "TextWidth=30\r\n", "");
  ASSERT_TRUE(parse(text));
  const auto& partial = element<SkinButtonElement>(SkinDescription::kPlayBtn);
  EXPECT_EQ(std::vector<int>({partial.textLeft, partial.textTop, partial.textRight}),
            std::vector<int>({4, 5, -1}));
}

TEST_F(SkinDescriptionTest, ASkinForA240PixelScreenIsDoubledOnceOnA480PixelScreen) {
  ASSERT_TRUE(parse(test::completeDescription()));
  description.setScreenWidth(480);
  for (int retrieval = 0; retrieval < 3; ++retrieval) {
    const auto& button = element<SkinButtonElement>(SkinDescription::kPlayBtn);
    EXPECT_EQ(std::vector<int>({button.x, button.y, button.left, button.right, button.bottom}),
              std::vector<int>({20, 20, 20, 100, 60}));
  }
  const auto& panel = element<SkinPanelElement>(SkinDescription::kPresetsPanel);
  EXPECT_EQ(std::vector<int>({panel.x, panel.y, panel.width, panel.height}),
            std::vector<int>({0, 200, 480, 440}));
  EXPECT_EQ(element<SkinTextElement>(SkinDescription::kLiveText).fontSize, 12);
  auto* strip =
      static_cast<SkinButtonElement*>(description.ElementForDrawing(SkinDescription::kPlayBtn));
  EXPECT_EQ(strip->image.size(), QSize(480, 40));

  description.setScreenWidth(240);
  ASSERT_TRUE(parse(test::completeDescription()));
  EXPECT_EQ(element<SkinPanelElement>(SkinDescription::kPresetsPanel).y, 100);
}

TEST_F(SkinDescriptionTest, PendingFlagsAreSeenByTheFirstRetrievalAfterEachParse) {
  ASSERT_TRUE(parse(test::completeDescription()));
  for (int round = 0; round < 2; ++round) {
    SkinElement* first = description.ElementForDrawing(SkinDescription::kMainPanel);
    EXPECT_TRUE(first->layoutPending);
    EXPECT_TRUE(first->imagePending);
    SkinElement* second = description.ElementForDrawing(SkinDescription::kMainPanel);
    EXPECT_FALSE(second->layoutPending);
    EXPECT_FALSE(second->imagePending);
    ASSERT_TRUE(parse(test::completeDescription()));
  }
  EXPECT_EQ(description.ElementForLayout(SkinDescription::kElementCount), nullptr);
  description.Clear();
  EXPECT_EQ(description.ElementForLayout(SkinDescription::kMainPanel), nullptr);
}

TEST(SkinIniFileTest, NamesCompareByHashAndTheLastOccurrenceWins) {
  SkinIniFile file;
  // "Ab" and "@g" have the same hash: 5 * 65 + 98 = 5 * 64 + 103.
  file.OpenText("\r\n\r\n[S]\r\nAb=1\r\nkey =2\r\n@g=3\r\n\r\n[T]\r\nk=a=b\r\n\r\n[S]\r\nz=9\r\n");
  EXPECT_EQ(SkinIniFile::hashName("Ab"), SkinIniFile::hashName("@g"));
  EXPECT_EQ(file.value("S", "Ab"), std::nullopt);  // the second [S] replaced the first
  EXPECT_EQ(file.value("S", "z"), "9");
  EXPECT_EQ(file.value("T", "k"), "a=b");
  EXPECT_EQ(SkinIniFile::hashName("\xE9"), static_cast<uint32_t>(-23));

  file.OpenText("[S]\r\nAb=1\r\nkey =2\r\n@g=3\r\n");
  EXPECT_EQ(file.value("S", "Ab"), "3");
  EXPECT_EQ(file.value("S", "key"), std::nullopt);
  EXPECT_EQ(file.value("S", "key "), "2");
}

TEST(SkinIniFileTest, ReadingStopsQuietlyAtABrokenLine) {
  SkinIniFile file;
  const std::string longest(SkinIniFile::kMaxLineChars - 2, 'v');
  file.OpenText("[A]\r\nk=" + longest + "\r\n\r\n[B]\r\nk=" + longest + "v\r\n\r\n[C]\r\nk=1");
  EXPECT_EQ(file.value("A", "k"), longest);
  EXPECT_EQ(file.value("B", "k"), std::nullopt);
  EXPECT_EQ(file.value("C", "k"), std::nullopt);

  file.OpenText("[A]\r\nk=1\r\nno equals\r\nj=2\r\n\r\n[B]\r\nk=1\r\n");
  EXPECT_EQ(file.value("A", "k"), "1");
  EXPECT_EQ(file.sectionCount(), 1u);

  file.OpenText("[A]\r\nk=1\r\n\r\n [B]\r\nk=1\r\n");
  EXPECT_EQ(file.sectionCount(), 1u);
  // A lone LF is part of the line; a CR drops everything up to the next LF.
  file.OpenText("[A]\r\nk=1\n2\rjunk\nj=3");
  EXPECT_EQ(file.value("A", "k"), "1\n2");
  EXPECT_EQ(file.value("A", "j"), "3");
}

}  // namespace
}  // namespace orvel
