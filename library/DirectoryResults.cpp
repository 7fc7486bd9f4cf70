#include "library/DirectoryResults.h"

#include <cmath>
#include <nlohmann/json.hpp>
#include <unordered_set>

#include "platform/internet/Url.h"

namespace orvel {
namespace {

using Json = nlohmann::json;

// Control characters become spaces (a name must fit on one line); the ends are trimmed.
std::string cleanText(std::string text) {
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) c = ' ';
  }
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string textField(const Json& object, const char* key) {
  const auto it = object.find(key);
  if (it == object.end() || !it->is_string()) return {};
  return cleanText(it->get<std::string>());
}

// Numbers may come as JSON numbers or as decimal text.
double numberField(const Json& object, const char* key) {
  const auto it = object.find(key);
  if (it == object.end()) return 0;
  if (it->is_number()) return it->get<double>();
  if (it->is_boolean()) return it->get<bool>() ? 1 : 0;
  if (!it->is_string()) return 0;
  const std::string text = it->get<std::string>();
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  return end != text.c_str() && *end == '\0' ? value : 0;
}

// A longer URL would not come back whole from the library file.
constexpr size_t kMaxUrlLength = 259;

bool isStreamUrl(const std::string& url) {
  UrlComponents parts;
  return !url.empty() && url.size() <= kMaxUrlLength && crackUrl(url, parts);
}

bool readStation(const Json& object, DirectoryStation& station) {
  if (!object.is_object()) return false;
  station.uuid = textField(object, "stationuuid");
  station.url = textField(object, "url_resolved");
  if (!isStreamUrl(station.url)) station.url = textField(object, "url");
  if (station.uuid.empty() || !isStreamUrl(station.url)) return false;
  station.name = textField(object, "name");
  if (station.name.empty()) station.name = station.url;
  station.homepage = textField(object, "homepage");
  station.codec = textField(object, "codec");
  const double bitrate = numberField(object, "bitrate");
  station.bitrateKbps =
      std::isfinite(bitrate) && bitrate > 0 && bitrate <= DirectoryResults::kMaxPlausibleKbps
          ? static_cast<int>(bitrate)
          : 0;
  station.countryCode = textField(object, "countrycode");
  station.tags = textField(object, "tags");
  station.hls = numberField(object, "hls") == 1;
  return true;
}

}  // namespace

bool DirectoryResults::parseStations(std::string_view body, size_t limit,
                                     std::vector<DirectoryStation>& stations, std::string& error) {
  stations.clear();
  const Json list = Json::parse(body.begin(), body.end(), nullptr, false);
  if (!list.is_array()) {
    error = list.is_discarded() ? "the answer is no valid JSON" : "the answer is no station list";
    return false;
  }
  std::unordered_set<std::string> seenIds;
  std::unordered_set<std::string> seenUrls;
  for (const Json& object : list) {
    if (stations.size() >= limit) break;
    DirectoryStation station;
    if (!readStation(object, station)) continue;
    if (!seenIds.insert(station.uuid).second) continue;
    if (!seenUrls.insert(station.url).second) continue;
    stations.push_back(std::move(station));
  }
  return true;
}

bool DirectoryResults::parseClick(std::string_view body, std::string& error) {
  const Json answer = Json::parse(body.begin(), body.end(), nullptr, false);
  if (!answer.is_object()) {
    error = "the answer is no valid JSON object";
    return false;
  }
  const auto ok = answer.find("ok");
  if (ok != answer.end() && ok->is_boolean() && ok->get<bool>()) return true;
  error = "the directory did not count the click";
  return false;
}

}  // namespace orvel
