#pragma once
// A radio of the library: one station with its titles and the stream the user picked.

#include "platform/Text.h"

namespace orvel {

struct CategoryInfo;
struct StreamInfo;

struct RadioInfo {
  WString title;
  // Shown on preset buttons in place of the title when not empty.
  WString shortTitle;
  // The category that holds the radio; set by the container that owns the record.
  const CategoryInfo* category = nullptr;
  // One of the radio's own streams, or none; set by the container that owns the record.
  const StreamInfo* selectedStream = nullptr;
};

}  // namespace orvel
