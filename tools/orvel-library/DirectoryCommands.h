#pragma once
// The station directory commands of orvel-library: search prints what the directory finds, and
// add-found puts one found station into the user's library (opened and closed as start-up and
// clean-up do). The servers come from ORVEL_RADIO_DIRECTORY or the directory's mirrors.

#include <ostream>
#include <string>
#include <vector>

namespace orvel {

class DirectoryCommands {
 public:
  // "search TEXT [--tag T] [--country CC] [--language L] [--codec C] [--limit N]": one line
  // per station,
  // "found UUID | NAME | CODEC | BITRATE | COUNTRY | URL"; 1 with the error when the
  // directory cannot be reached, 2 for wrong arguments.
  static int search(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
  // "add-found UUID [CATEGORY]": prints "added", or why not (status 1).
  static int addFound(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};

}  // namespace orvel
