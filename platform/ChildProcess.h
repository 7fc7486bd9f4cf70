#pragma once
// Starting other programs: run one and wait for it (with a time limit), or start one and let it
// go. Thread-safe; run() blocks up to its time limit.

#include <string>
#include <vector>

namespace orvel {

class ChildProcess {
 public:
  static constexpr int kNotStarted = -1;
  static constexpr int kTimedOut = -2;
  static constexpr int kKilledBySignal = -3;

  // Runs argv[0] (looked up in PATH when it has no "/") with stdin from /dev/null and stdout
  // and stderr discarded unless `output` is given (then stdout is collected into it). Returns
  // the exit code, or one of the negative answers above; a program still running at the time
  // limit is killed.
  static int run(const std::vector<std::string>& argv, int timeoutMs,
                 std::string* output = nullptr);

  // Starts the program detached from this one (its own session; no zombie left behind).
  // False when it could not be started.
  static bool startDetached(const std::vector<std::string>& argv);

  // The full path of a program found in PATH, or empty.
  static std::string findInPath(const std::string& name);
};

}  // namespace orvel
