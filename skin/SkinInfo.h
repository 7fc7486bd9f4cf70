#pragma once
// What a skin says about itself (its "Info" section): the screen it was designed for and the
// texts that the skins dialog shows.

#include <cstdint>

#include "platform/Text.h"

namespace orvel {

struct SkinInfo {
  int32_t width = 0;  // design screen width in pixels
  int32_t height = 0;
  WString name;
  WString subname;
  WString author;
  WString comments;
  WString web;
};

}  // namespace orvel
