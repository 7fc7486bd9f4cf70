#pragma once
// One installed skin as the chooser sees it: its description file and, when that parses, a
// copy of its information (an entry without one is not a valid skin).

#include <memory>

#include "platform/Text.h"
#include "skin/SkinInfo.h"

namespace orvel {

struct SkinListEntry {
  WString path;
  std::unique_ptr<SkinInfo> info;
};

}  // namespace orvel
