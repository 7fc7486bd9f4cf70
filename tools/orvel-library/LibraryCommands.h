#pragma once
// The commands of orvel-library. list, presets and import open the program directory's radio
// database as start-up does (shipped library, user's library, presets) and close it as clean-up
// does, so they also rewrite its files; generate only writes the file it is given.

#include <ostream>
#include <string>
#include <vector>

namespace orvel {

class RadioDatabase;
class RadioLibrary;

class LibraryCommands {
 public:
  // args without the program name; gives the exit status.
  static int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
  // Opens the program directory's database as start-up does; false (with the reason on `err`)
  // when the program directory cannot be made.
  static bool openLikeStartup(RadioDatabase& database, std::ostream& err);

  // "category NAME", "  radio TITLE | SHORT", "    stream URL | BITRATE | FORMAT | COMMENT |
  // origin=N" (with " *" for the selected stream), in list order.
  static void printTree(const RadioLibrary& library, std::ostream& out);
  // "N: TITLE | URL" or "N: (empty)" for presets 1 to 9.
  static void printPresets(const RadioDatabase& database, std::ostream& out);
  // Makes a library file from a readable station list; 0 on success.
  static int generate(const std::string& sourcePath, const std::string& outputPath,
                      std::ostream& err);
};

}  // namespace orvel
