#include "tools/orvel-library/DirectoryCommands.h"

#include <algorithm>
#include <charconv>

#include "library/DirectoryClient.h"
#include "library/FoundStations.h"
#include "library/RadioDatabase.h"
#include "tools/orvel-library/LibraryCommands.h"

namespace orvel {
namespace {

constexpr const char* kSearchUsage =
    "usage: orvel-library search TEXT [--tag T] [--country CC] [--language L] [--codec C] "
    "[--limit N]\n";
constexpr const char* kAddUsage = "usage: orvel-library add-found UUID [CATEGORY]\n";

bool readQuery(const std::vector<std::string>& args, DirectoryQuery& query) {
  if (args.size() < 2 || args.size() % 2 != 0) return false;
  query.name = args[1];
  for (size_t i = 2; i + 1 < args.size(); i += 2) {
    const std::string& option = args[i];
    const std::string& value = args[i + 1];
    if (option == "--tag") {
      query.tag = value;
    } else if (option == "--country") {
      query.countryCode = value;
    } else if (option == "--language") {
      query.language = value;
    } else if (option == "--codec") {
      query.codec = value;
    } else if (option == "--limit") {
      const char* end = value.data() + value.size();
      const auto [at, failure] = std::from_chars(value.data(), end, query.limit);
      if (failure != std::errc() || at != end || query.limit < 1 ||
          query.limit > DirectoryQuery::kMaxLimit) {
        return false;
      }
    } else {
      return false;
    }
  }
  return true;
}

// A field of a "found" line: its separator inside it would shift the fields after it.
std::string field(std::string text) {
  std::replace(text.begin(), text.end(), '|', '/');
  return text;
}

int unreachable(const std::string& reason, std::ostream& err) {
  err << DirectoryClient::kUnreachableText << '\n' << reason << '\n';
  return 1;
}

}  // namespace

int DirectoryCommands::search(const std::vector<std::string>& args, std::ostream& out,
                              std::ostream& err) {
  DirectoryQuery query;
  if (!readQuery(args, query)) {
    err << kSearchUsage;
    return 2;
  }
  DirectoryClient client;
  std::vector<DirectoryStation> stations;
  std::string error;
  if (!client.search(query, stations, error)) return unreachable(error, err);
  for (const DirectoryStation& station : stations) {
    out << "found " << field(station.uuid) << " | " << field(station.name) << " | "
        << field(station.codec) << " | " << station.bitrateKbps << " | "
        << field(station.countryCode) << " | " << station.url << '\n';
  }
  return 0;
}

int DirectoryCommands::addFound(const std::vector<std::string>& args, std::ostream& out,
                                std::ostream& err) {
  if (args.size() != 2 && args.size() != 3) {
    err << kAddUsage;
    return 2;
  }
  const WString category = args.size() == 3 ? fromUtf8(args[2]) : FoundStations::kDefaultCategory;
  if (category.empty()) {
    err << kAddUsage;
    return 2;
  }
  DirectoryClient client;
  DirectoryStation station;
  std::string error;
  if (!client.station(args[1], station, error)) return unreachable(error, err);
  RadioDatabase database;
  if (!LibraryCommands::openLikeStartup(database, err)) return 1;
  const StreamInfo* stream = nullptr;
  const auto result = FoundStations::add(database, station, category, &stream);
  if (result == FoundStations::Result::Added) {
    out << "added\n";
  } else {
    out << "already in the library: " << toUtf8(stream->radio->category->name) << " / "
        << toUtf8(stream->radio->title) << '\n';
  }
  const bool saved = database.Close();
  if (!saved) err << "cannot write the library\n";
  return result == FoundStations::Result::Added && saved ? 0 : 1;
}

}  // namespace orvel
