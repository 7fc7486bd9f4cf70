#pragma once
// What to ask the station directory for. Empty fields do not narrow the search.

#include <string>

namespace orvel {

struct DirectoryQuery {
  enum class Order { Votes, ClickCount };

  static constexpr int kDefaultLimit = 100;
  static constexpr int kMaxLimit = 10000;

  std::string name;
  std::string tag;
  std::string countryCode;
  std::string language;
  std::string codec;
  Order order = Order::Votes;  // most first
  int limit = kDefaultLimit;   // 1..kMaxLimit
};

}  // namespace orvel
