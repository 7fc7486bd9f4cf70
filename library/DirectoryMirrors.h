#pragma once
// Where the station directory's servers are. ORVEL_RADIO_DIRECTORY, when set, holds the base
// URLs to use (separated by spaces, tried in that order). Otherwise the directory's own way:
// every address of all.api.radio-browser.info is named back by reverse lookup, and the mirrors'
// names in random order give "https://NAME" (the round-robin name itself when no address has a
// name). Blocks on the resolver; thread-safe.

#include <string>
#include <vector>

namespace orvel {

class DirectoryMirrors {
 public:
  static constexpr const char* kEnvironmentVariable = "ORVEL_RADIO_DIRECTORY";
  static constexpr const char* kDiscoveryHost = "all.api.radio-browser.info";

  // Base URLs without a trailing slash; empty when none can be found.
  static std::vector<std::string> find();
  // The base URLs that a list separated by spaces names.
  static std::vector<std::string> split(const std::string& list);

 private:
  static std::vector<std::string> discover();
};

}  // namespace orvel
