#pragma once
// The command line of orvel-play.
#include <optional>
#include <string>

namespace orvel {

struct PlayOptions {
  bool prebuffer = true;
  int retries = 0;
  int reconnects = 0;  // attempts after a drop; 0: the drop ends the run
  int seconds = -1;    // -1: until interrupted
  bool record = false;
  std::string url;

  // Nothing for a bad command line.
  static std::optional<PlayOptions> parse(int argc, char** argv);
  static const char* usage();
};

}  // namespace orvel
