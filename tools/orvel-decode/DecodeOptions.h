#pragma once
// The command line of orvel-decode:
//   orvel-decode [-o OUT] [--rate R] [--channels C] [--bits B] [--tags] FILE

#include <cstdint>
#include <optional>
#include <string>

namespace orvel {

struct DecodeOptions {
  std::string input;
  std::string output;  // empty: decode without writing
  std::optional<uint32_t> rate;
  std::optional<uint32_t> channels;
  std::optional<uint32_t> bits;
  bool tags = false;

  // Fills `options`; on a bad command line returns false with the reason in `error`.
  static bool parse(int argc, char** argv, DecodeOptions& options, std::string& error);
  bool converts() const { return rate || channels || bits; }
};

}  // namespace orvel
