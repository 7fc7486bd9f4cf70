// Skin files the fuzzer found harmful: coordinates near the ends of their ranges, summed and
// scaled to the screen. Each input's first byte chose the fuzzer's screen width; the rest is the
// file.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>

#include "SkinFixture.h"
#include "platform/FilePath.h"
#include "skin/SkinButtonElement.h"
#include "skin/SkinDescription.h"
#include "skin/SkinPanelElement.h"
#include "tests/support/TempHome.h"

namespace orvel {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

class FuzzSkinDescriptionTest : public ::testing::Test {
 protected:
  FuzzSkinDescriptionTest() { test::skinTestApplication(); }

  void parseRegression(const char* name, int screenWidth) {
    std::ifstream in(std::string(ORVEL_SOURCE_DIR) + "/tests/fuzz/regressions/SkinDescriptionFuzzer/" +
                         name,
                     std::ios::binary);
    const std::string input{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_GT(input.size(), 1u) << name;
    const std::string path = home.path("skin.rs");
    std::ofstream(path, std::ios::binary) << input.substr(1);
    description.setScreenWidth(screenWidth);
    description.Parse(fromFsPath(path), error);
  }

  test::TempHome home;
  SkinDescription description{nullptr};
  WString error;
};

TEST_F(FuzzSkinDescriptionTest, PanelCoordinatesScaledPastSixteenBitsStopAtTheirEnd) {
  parseRegression("panel-scaled-past-16-bits", 100000);
  auto* panel = dynamic_cast<SkinPanelElement*>(
      description.ElementForLayout(SkinDescription::kMainPanel));
  ASSERT_NE(panel, nullptr);
  // Width=240 and Height=136 of a skin 240 wide, on a screen 100000 wide.
  EXPECT_EQ(panel->y, 0);
  EXPECT_EQ(panel->width, 65535);
  EXPECT_EQ(panel->height, 56666);
}

TEST_F(FuzzSkinDescriptionTest, EdgesAndScaledEdgesPastThirtyTwoBitsStopAtTheirEnd) {
  parseRegression("edges-past-32-bits", 480);
  auto* button = dynamic_cast<SkinButtonElement*>(
      description.ElementForLayout(SkinDescription::kPreset1Btn));
  ASSERT_NE(button, nullptr);
  // X and Width 2000000000, Y and Height -2000000000, doubled for the screen.
  EXPECT_EQ(button->left, kMax);
  EXPECT_EQ(button->right, kMax);
  EXPECT_EQ(button->top, kMin);
  EXPECT_EQ(button->bottom, kMin);
  // The 16-bit copies hold the low bits of the file's numbers, then stop at 65535 when doubled.
  EXPECT_EQ(button->x, 65535);
  EXPECT_EQ(button->y, 55296);
  // The text box is not scaled, only summed.
  EXPECT_EQ(button->textLeft, 2000000000);
  EXPECT_EQ(button->textRight, kMax);
  EXPECT_EQ(button->textTop, -2000000000);
  EXPECT_EQ(button->textBottom, kMin);
}

}  // namespace
}  // namespace orvel
