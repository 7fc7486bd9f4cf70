// The title schedule against a clock the test moves: a title shows when the output plays its
// position, never while playback is paused, and never past what was queued.
#include <gtest/gtest.h>

#include "engine/TitleSchedule.h"

namespace orvel {
namespace {

using namespace std::chrono_literals;
using Clock = TitleSchedule::Clock;

TagInfo titled(const char16_t* title) {
  TagInfo tags;
  tags.title = title;
  return tags;
}

WString shown(const TitleSchedule& schedule) {
  TagInfo info;
  return schedule.current(info) && info.title ? *info.title : WString(u"-");
}

TEST(TitleSchedule, ShowsEachTitleWhenItsSoundPlays) {
  TitleSchedule schedule;
  TagInfo album;
  album.album = u"Live";
  schedule.setDecoderTags(album);
  schedule.show(TitleSchedule::Source::Stream, titled(u"First"));
  schedule.start(1000);  // 1000 bytes a second
  const Clock::time_point t0 = Clock::now();
  schedule.played(0, t0);
  EXPECT_EQ(schedule.queued(1000), 0u);
  EXPECT_EQ(schedule.queued(1000), 1000u);
  schedule.add(TitleSchedule::Source::Stream, 1500, titled(u"Second"));
  ASSERT_TRUE(schedule.nextDue().has_value());
  EXPECT_EQ(*schedule.nextDue(), t0 + 1500ms);

  EXPECT_FALSE(schedule.advance(t0 + 1400ms));
  EXPECT_EQ(shown(schedule), u"First");
  // Paused for ten seconds at 1.4 s: the title still waits 100 ms of playback.
  schedule.pause(t0 + 1400ms);
  EXPECT_FALSE(schedule.nextDue().has_value());
  EXPECT_FALSE(schedule.advance(t0 + 5s));
  schedule.resume(t0 + 11400ms);
  EXPECT_FALSE(schedule.advance(t0 + 11450ms));
  EXPECT_TRUE(schedule.advance(t0 + 11500ms));
  TagInfo info;
  ASSERT_TRUE(schedule.current(info));
  EXPECT_EQ(info.title, u"Second");
  EXPECT_EQ(info.album, u"Live");  // completed from the decoder's tags
}

TEST(TitleSchedule, ADeviceThatBuffersIsHeardLater) {
  TitleSchedule schedule;
  schedule.setDecoderTags(TagInfo{});
  schedule.start(1000, 500);
  const Clock::time_point t0 = Clock::now();
  schedule.played(0, t0);
  schedule.queued(2000);
  schedule.add(TitleSchedule::Source::Stream, 1000, titled(u"Later"));
  EXPECT_EQ(*schedule.nextDue(), t0 + 1500ms);
  EXPECT_FALSE(schedule.advance(t0 + 1400ms));
  EXPECT_TRUE(schedule.advance(t0 + 1500ms));
}

TEST(TitleSchedule, AnOutputThatStarvedHasNotPlayedTheTitle) {
  TitleSchedule schedule;
  schedule.setDecoderTags(TagInfo{});
  schedule.start(1000);
  const Clock::time_point t0 = Clock::now();
  schedule.played(0, t0);
  schedule.queued(1000);
  // The next block, holding the title, is late: a second and more pass without it.
  EXPECT_FALSE(schedule.advance(t0 + 3s));
  schedule.played(1000, t0 + 3s);
  schedule.add(TitleSchedule::Source::Stream, schedule.queued(1000) + 200, titled(u"Late"));
  EXPECT_FALSE(schedule.advance(t0 + 3100ms));
  EXPECT_TRUE(schedule.advance(t0 + 3200ms));
  EXPECT_EQ(shown(schedule), u"Late");
  // A stop drops what waits; without a decoder nothing shows.
  schedule.add(TitleSchedule::Source::Stream, 1900, titled(u"Never"));
  EXPECT_FALSE(schedule.stop());
  EXPECT_FALSE(schedule.advance(t0 + 10s));
  schedule.clear();
  EXPECT_EQ(shown(schedule), u"-");
}

}  // namespace
}  // namespace orvel
