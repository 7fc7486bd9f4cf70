#include "tools/orvel-play/PlayOptions.h"

#include <charconv>
#include <cstring>

namespace orvel {
namespace {

bool parseCount(const char* text, int& out) {
  const char* end = text + std::strlen(text);
  auto [last, error] = std::from_chars(text, end, out);
  return error == std::errc() && last == end && out >= 0;
}

}  // namespace

const char* PlayOptions::usage() {
  return "usage: orvel-play [--no-prebuffer] [--retries N] [--reconnect N] [--seconds S] "
         "[--record] URL\n";
}

std::optional<PlayOptions> PlayOptions::parse(int argc, char** argv) {
  PlayOptions options;
  bool haveUrl = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--no-prebuffer") {
      options.prebuffer = false;
    } else if (arg == "--record") {
      options.record = true;
    } else if (arg == "--retries" || arg == "--reconnect" || arg == "--seconds") {
      if (i + 1 >= argc) return std::nullopt;
      int& target = arg == "--retries"     ? options.retries
                    : arg == "--reconnect" ? options.reconnects
                                           : options.seconds;
      if (!parseCount(argv[++i], target)) return std::nullopt;
    } else if (arg.rfind("--", 0) == 0 || haveUrl) {
      return std::nullopt;
    } else {
      options.url = arg;
      haveUrl = true;
    }
  }
  if (!haveUrl) return std::nullopt;
  return options;
}

}  // namespace orvel
