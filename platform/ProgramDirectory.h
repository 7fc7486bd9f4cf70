#pragma once
// The program directory: the folder that holds "Radios/", "Skins/" and "Alarms.dat".
//
// It is $ORVEL_RADIO_HOME when set, else $XDG_DATA_HOME/orvel-radio (default
// ~/.local/share/orvel-radio). When it does not exist yet it is made and seeded from the
// shipped data (the installed share/orvel-radio, or the source tree's resources/ when run
// from a build tree), as an installer would: the shipped library, the four default skins,
// and the registry values "InstSkin01" and "InstSkin02" naming the two VGA skins.
// Nothing is seeded again later. The shipped data are never written.

#include <string>

#include "platform/Text.h"

namespace orvel {

class Registry;

class ProgramDirectory {
 public:
  // The running executable's full path (from /proc/self/exe); empty when unknown.
  static std::string executablePath();
  // The folder of the running executable; "." when unknown.
  static std::string executableDir();
  // Where the shipped data are: <exe>/../share/orvel-radio when installed, else the source
  // tree's resources/ that the build was made from.
  static std::string shippedDataDir();
  // The program directory as the environment names it; no side effects.
  static std::string location();
  // The program directory, made and seeded when it does not exist; empty when it cannot be
  // made.
  static std::string ensure(Registry& registry);
  // Seeds `dir` (which must not exist) from `from`; the folder appears complete or not at all.
  static bool seed(const std::string& dir, const std::string& from, Registry& registry);
};

}  // namespace orvel
