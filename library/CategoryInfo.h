#pragma once
// A category of the radio library: a named group of radios.

#include "platform/Text.h"

namespace orvel {

struct CategoryInfo {
  WString name;
};

}  // namespace orvel
