#include "DecodeOptions.h"

#include <cstdlib>
#include <string_view>

namespace orvel {
namespace {

bool parseNumber(const char* text, uint32_t low, uint32_t high, std::optional<uint32_t>& out) {
  char* end = nullptr;
  const unsigned long value = std::strtoul(text, &end, 10);
  if (end == text || *end != '\0' || value < low || value > high) return false;
  out = static_cast<uint32_t>(value);
  return true;
}

}  // namespace

bool DecodeOptions::parse(int argc, char** argv, DecodeOptions& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--tags") {
      options.tags = true;
    } else if (arg == "-o" && hasValue) {
      options.output = argv[++i];
    } else if (arg == "--rate" && hasValue) {
      if (!parseNumber(argv[++i], 1000, 384000, options.rate)) {
        error = "bad --rate (1000 to 384000 Hz)";
        return false;
      }
    } else if (arg == "--channels" && hasValue) {
      if (!parseNumber(argv[++i], 1, 2, options.channels)) {
        error = "bad --channels (1 or 2)";
        return false;
      }
    } else if (arg == "--bits" && hasValue) {
      if (!parseNumber(argv[++i], 8, 16, options.bits) ||
          (*options.bits != 8 && *options.bits != 16)) {
        error = "bad --bits (8 or 16)";
        return false;
      }
    } else if (!arg.empty() && arg[0] == '-') {
      error = "unknown or incomplete option " + std::string(arg);
      return false;
    } else if (options.input.empty()) {
      options.input = arg;
    } else {
      error = "more than one input file";
      return false;
    }
  }
  if (options.input.empty()) {
    error = "no input file";
    return false;
  }
  return true;
}

}  // namespace orvel
