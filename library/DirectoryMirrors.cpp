#include "library/DirectoryMirrors.h"

#include <netdb.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <sstream>

namespace orvel {

std::vector<std::string> DirectoryMirrors::find() {
  const char* configured = std::getenv(kEnvironmentVariable);
  if (configured != nullptr && *configured != '\0') return split(configured);
  return discover();
}

std::vector<std::string> DirectoryMirrors::split(const std::string& list) {
  std::vector<std::string> urls;
  std::istringstream words(list);
  for (std::string url; words >> url;) {
    while (!url.empty() && url.back() == '/') url.pop_back();
    if (!url.empty()) urls.push_back(url);
  }
  return urls;
}

std::vector<std::string> DirectoryMirrors::discover() {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* addresses = nullptr;
  if (::getaddrinfo(kDiscoveryHost, nullptr, &hints, &addresses) != 0) return {};
  std::vector<std::string> names;
  for (const addrinfo* address = addresses; address != nullptr; address = address->ai_next) {
    char host[NI_MAXHOST];
    if (::getnameinfo(address->ai_addr, address->ai_addrlen, host, sizeof host, nullptr, 0,
                      NI_NAMEREQD) != 0) {
      continue;
    }
    const std::string url = std::string("https://") + host;
    if (std::find(names.begin(), names.end(), url) == names.end()) names.push_back(url);
  }
  ::freeaddrinfo(addresses);
  // Without reverse names the round-robin name itself still reaches a mirror.
  if (names.empty()) return {std::string("https://") + kDiscoveryHost};
  // Spreads the load over the mirrors, as the directory asks its clients to.
  std::shuffle(names.begin(), names.end(), std::mt19937(std::random_device{}()));
  return names;
}

}  // namespace orvel
