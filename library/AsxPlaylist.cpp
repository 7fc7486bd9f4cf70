#include "library/AsxPlaylist.h"

namespace orvel {

bool AsxPlaylist::Load(const WString&, bool) { return true; }

bool AsxPlaylist::Save(const WString&) { return false; }

}  // namespace orvel
