#include <gtest/gtest.h>

#include "library/RadioLibrary.h"
#include "tests/library/LibraryFiles.h"

namespace orvel {
namespace {

using test::categoryNames;
using test::streamPaths;

StreamInfo streamOf(const char* url, const char* bitrate = "", const char* format = "") {
  StreamInfo info;
  info.url = fromUtf8(url);
  info.bitrate = fromUtf8(bitrate);
  info.format = fromUtf8(format);
  return info;
}

RadioInfo radioOf(const char* title, const char* shortTitle = "") {
  return RadioInfo{fromUtf8(title), fromUtf8(shortTitle)};
}

std::string urlsOf(const RadioLibrary& library, const RadioInfo* radio) {
  std::string out;
  for (int i = 0; const StreamInfo* stream = library.GetStream(radio, i); ++i) {
    out += (i ? " " : "") + toUtf8(stream->url);
  }
  return out;
}

TEST(RadioLibraryTest, CategoriesSortWithCaseAndMergeByName) {
  RadioLibrary library;
  const CategoryInfo* lower = library.AddCategory(CategoryInfo{u"rock"}, false);
  library.AddCategory(CategoryInfo{u"Rock"}, false);
  library.AddCategory(CategoryInfo{u"Ambient"}, false);
  EXPECT_EQ(library.AddCategory(CategoryInfo{u"rock"}, false), lower);
  EXPECT_EQ(categoryNames(library), "Ambient;Rock;rock");

  library.AddCategory(CategoryInfo{u"rock"}, true);
  library.AddCategory(CategoryInfo{u"Zzz"}, true);
  EXPECT_EQ(categoryNames(library), "Zzz;rock;Ambient;Rock;rock");
  EXPECT_EQ(library.GetCategory(5), nullptr);
  EXPECT_EQ(library.GetCategory(-1), nullptr);
}

TEST(RadioLibraryTest, RadiosMergeByTitleWithinTheirCategoryOnly) {
  RadioLibrary library;
  const CategoryInfo* jazz = library.AddCategory(CategoryInfo{u"Jazz"}, false);
  const CategoryInfo* news = library.AddCategory(CategoryInfo{u"News"}, false);
  const RadioInfo* first = library.AddRadio(jazz, radioOf("M", "short"), false);
  library.AddRadio(jazz, radioOf("B"), false);
  library.AddRadio(jazz, radioOf("m"), false);
  EXPECT_EQ(library.AddRadio(jazz, radioOf("M", "other"), false), first);
  EXPECT_EQ(first->shortTitle, u"short");
  const RadioInfo* elsewhere = library.AddRadio(news, radioOf("M"), false);
  EXPECT_NE(elsewhere, first);
  EXPECT_EQ(elsewhere->category, news);

  ASSERT_EQ(library.RadioCount(jazz), 3);
  EXPECT_EQ(library.GetRadio(jazz, 0)->title, u"B");
  EXPECT_EQ(library.GetRadio(jazz, 1)->title, u"M");
  EXPECT_EQ(library.GetRadio(jazz, 2)->title, u"m");
  EXPECT_EQ(library.GetRadio(jazz, 3), nullptr);
  EXPECT_EQ(library.RadioCount(news), 1);
  // Appended radios are never merged.
  EXPECT_NE(library.AddRadio(jazz, radioOf("M"), true), first);
  EXPECT_EQ(library.GetRadio(jazz, 0)->title, u"M");
}

TEST(RadioLibraryTest, StreamsSortByBitrateThenFormatNewestFirst) {
  RadioLibrary library;
  const CategoryInfo* category = library.AddCategory(CategoryInfo{u"c"}, false);
  const RadioInfo* radio = library.AddRadio(category, radioOf("r"), false);
  library.AddStream(radio, streamOf("none"), false);
  library.AddStream(radio, streamOf("zero", "0"), false);
  library.AddStream(radio, streamOf("ogg128", "128", "ogg"), false);
  library.AddStream(radio, streamOf("mp3-128-old", "128", "mp3"), false);
  library.AddStream(radio, streamOf("mp3-128-new", "128", "MP3"), false);
  library.AddStream(radio, streamOf("hi", " 320kbps", "ogg"), false);
  library.AddStream(radio, streamOf("lo", "64", "ZZZ"), false);
  library.AddStream(radio, streamOf("lo", "64", "ZZZ"), false);  // never merged
  EXPECT_EQ(urlsOf(library, radio), "hi mp3-128-new mp3-128-old ogg128 lo lo zero none");

  library.AddStream(radio, streamOf("appended", "999"), true);
  library.AddStream(radio, streamOf("appended-last", "1"), true);
  EXPECT_EQ(library.StreamCount(radio), 10);
  EXPECT_EQ(toUtf8(library.GetStream(radio, 0)->url), "appended-last");
  EXPECT_EQ(toUtf8(library.GetStream(radio, 1)->url), "appended");
}

TEST(RadioLibraryTest, DeletingAStreamFixesOrClearsTheSelection) {
  RadioLibrary library;
  const CategoryInfo* category = library.AddCategory(CategoryInfo{u"c"}, false);
  const RadioInfo* radio = library.AddRadio(category, radioOf("r"), false);
  const StreamInfo* high = library.AddStream(radio, streamOf("high", "256"), false);
  const StreamInfo* mid = library.AddStream(radio, streamOf("mid", "128"), false);
  const StreamInfo* low = library.AddStream(radio, streamOf("low", "64"), false);

  ASSERT_TRUE(library.SetSelectedStream(radio, mid));
  ASSERT_TRUE(library.DeleteStream(high, true));
  EXPECT_EQ(radio->selectedStream, mid) << "deleting another stream keeps the selection";
  ASSERT_TRUE(library.DeleteStream(mid, true));
  EXPECT_EQ(radio->selectedStream, low);
  ASSERT_TRUE(library.DeleteStream(low, false));
  EXPECT_EQ(radio->selectedStream, nullptr) << "without the flag the selection must not dangle";
  EXPECT_FALSE(library.DeleteStream(low, false));
  EXPECT_EQ(library.StreamCount(radio), 0);

  const StreamInfo* only = library.AddStream(radio, streamOf("only"), false);
  library.SetSelectedStream(radio, only);
  library.DeleteStream(only, true);
  EXPECT_EQ(radio->selectedStream, nullptr);
}

TEST(RadioLibraryTest, SetInfoReplacesRecordsInPlaceAndKeepsTheLinks) {
  RadioLibrary library;
  const CategoryInfo* category = library.AddCategory(CategoryInfo{u"c"}, false);
  const RadioInfo* before = library.AddRadio(category, radioOf("A"), false);
  const RadioInfo* radio = library.AddRadio(category, radioOf("B", "b"), false);
  library.AddRadio(category, radioOf("C"), false);
  const StreamInfo* first = library.AddStream(radio, streamOf("one", "128"), false);
  const StreamInfo* second = library.AddStream(radio, streamOf("two", "64"), false);
  library.SetSelectedStream(radio, second);

  const RadioInfo* renamed = library.SetRadioInfo(radio, radioOf("Z", "z"));
  ASSERT_NE(renamed, nullptr);
  EXPECT_EQ(library.GetRadioInfo(radio), nullptr) << "the old handle is gone";
  EXPECT_EQ(renamed->category, category);
  EXPECT_EQ(renamed->selectedStream, second);
  EXPECT_EQ(first->radio, renamed);
  EXPECT_EQ(second->radio, renamed);
  EXPECT_EQ(library.GetRadio(category, 1), renamed) << "a renamed radio keeps its place";
  EXPECT_EQ(library.GetRadio(category, 0), before);

  StreamInfo edited = streamOf("edited", "999", "ogg");
  edited.origin = kOriginShipped;
  const StreamInfo* replaced = library.SetStreamInfo(second, edited);
  ASSERT_NE(replaced, nullptr);
  EXPECT_EQ(library.GetStreamInfo(second), nullptr);
  EXPECT_EQ(renamed->selectedStream, replaced);
  EXPECT_EQ(replaced->radio, renamed);
  EXPECT_EQ(replaced->origin, kOriginShipped);
  EXPECT_EQ(urlsOf(library, renamed), "one edited") << "a replaced stream keeps its place";
  EXPECT_EQ(library.SetStreamInfo(second, edited), nullptr);
}

TEST(RadioLibraryTest, DeletingACategoryTakesItsRadiosAndStreams) {
  RadioLibrary library;
  const CategoryInfo* keep = library.AddCategory(CategoryInfo{u"keep"}, false);
  const CategoryInfo* drop = library.AddCategory(CategoryInfo{u"drop"}, false);
  const RadioInfo* kept = library.AddRadio(keep, radioOf("k"), false);
  library.AddStream(kept, streamOf("k1"), false);
  for (const char* title : {"a", "b"}) {
    const RadioInfo* radio = library.AddRadio(drop, radioOf(title), false);
    library.AddStream(radio, streamOf("x"), false);
    library.AddStream(radio, streamOf("y"), false);
  }
  ASSERT_TRUE(library.DeleteCategory(drop));
  EXPECT_EQ(streamPaths(library), "keep/k/k1");
  EXPECT_EQ(categoryNames(library), "keep");
  EXPECT_FALSE(library.DeleteCategory(drop));
}

// The full order of a library: every category, and per category its radios with their streams.
std::string treeOf(const RadioLibrary& library) {
  std::string out = categoryNames(library) + "|" + streamPaths(library);
  for (const CategoryInfo* category : library.allCategories()) {
    for (const RadioInfo* radio : library.radiosOf(category)) out += "|" + toUtf8(radio->title);
  }
  return out;
}

TEST(RadioLibraryTest, SortedPlacesAreTheSameWithAndWithoutTheIndex) {
  RadioLibrary indexed;
  RadioLibrary walked;  // an appended record makes every list be walked from then on
  const CategoryInfo* dummy = walked.AddCategory(CategoryInfo{u"dummy"}, true);
  walked.AddStream(walked.AddRadio(dummy, radioOf("dummy"), true), streamOf("dummy"), true);
  walked.DeleteCategory(dummy);

  uint32_t seed = 7;
  auto next = [&seed](uint32_t range) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % range;
  };
  const char* formats[] = {"MP3", "mp3", "ogg", "", "AAC"};
  for (int step = 0; step < 3000; ++step) {
    const WString category = fromAscii("c" + std::to_string(next(6)));
    const std::string title = "r" + std::to_string(next(40));
    const std::string bitrate = next(5) ? std::to_string(next(4) * 64) : "";
    const StreamInfo info =
        streamOf(("u" + std::to_string(step)).c_str(), bitrate.c_str(), formats[next(5)]);
    RadioLibrary* libraries[] = {&indexed, &walked};
    const uint32_t action = next(10);
    const uint32_t victim = next(50);
    for (RadioLibrary* library : libraries) {
      const CategoryInfo* c = library->AddCategory(CategoryInfo{category}, false);
      const RadioInfo* radio = library->AddRadio(c, radioOf(title.c_str()), false);
      if (action < 7) {
        library->AddStream(radio, info, false);
      } else if (action == 7) {
        library->DeleteStream(library->GetStream(radio, static_cast<int>(victim % 3)), true);
      } else if (action == 8) {
        library->DeleteRadio(library->GetRadio(c, static_cast<int>(victim % 8)));
      } else if (victim == 0) {
        library->DeleteCategory(c);
      }
    }
    if (step % 10 == 0) {
      ASSERT_EQ(treeOf(indexed), treeOf(walked)) << "after step " << step;
    }
  }
  EXPECT_EQ(treeOf(indexed), treeOf(walked));
  EXPECT_GT(indexed.allStreams().size(), 100u);
}

TEST(RadioLibraryTest, ForeignHandlesFail) {
  RadioLibrary library;
  RadioLibrary other;
  const CategoryInfo* category = library.AddCategory(CategoryInfo{u"c"}, false);
  const RadioInfo* radio = library.AddRadio(category, radioOf("r"), false);
  const RadioInfo* sibling = library.AddRadio(category, radioOf("s"), false);
  const StreamInfo* stream = library.AddStream(radio, streamOf("u"), false);
  const CategoryInfo* foreign = other.AddCategory(CategoryInfo{u"c"}, false);

  EXPECT_EQ(library.GetCategoryInfo(foreign), nullptr);
  EXPECT_EQ(library.AddRadio(foreign, radioOf("r"), false), nullptr);
  EXPECT_EQ(library.RadioCount(foreign), 0);
  EXPECT_EQ(other.AddStream(radio, streamOf("u"), false), nullptr);
  EXPECT_EQ(other.GetStreamInfo(stream), nullptr);
  EXPECT_FALSE(library.SetSelectedStream(sibling, stream)) << "not the sibling's stream";
  EXPECT_FALSE(library.SetSelectedStream(radio, nullptr));
  EXPECT_EQ(library.SetRadioInfo(nullptr, radioOf("x")), nullptr);
  EXPECT_FALSE(other.DeleteRadio(radio));
  EXPECT_EQ(library.StreamCount(radio), 1);
}

}  // namespace
}  // namespace orvel
