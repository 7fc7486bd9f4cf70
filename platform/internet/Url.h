#pragma once
// Cracking a stream URL into its parts, as the connection needs them: the scheme decides the
// default port, the host and port name the server, and the request names the path with its
// query. The fragment ("#" on) never leaves the program. Pure functions, thread-safe.

#include <cstdint>
#include <string>
#include <string_view>

namespace orvel {

struct UrlComponents {
  std::string scheme;    // "http" or "https", lower case
  std::string user;      // empty when the URL names none
  std::string password;  // empty when the URL names none
  std::string host;      // without the brackets of an IPv6 literal
  uint16_t port = 0;     // the URL's port, else 80 or 443
  std::string path;      // "/" when the URL has none
  std::string query;     // from "?" up to "#", "" when absent
  std::string fragment;  // from "#" on, "" when absent

  // path + query: the object that the request names.
  std::string objectName() const { return path + query; }
};

// False when the text is no http or https URL with a host (and a valid port when one is given).
bool crackUrl(std::string_view url, UrlComponents& parts);

// The URL that goes on the wire: scheme, credentials, host, port, path and query.
std::string requestUrl(const UrlComponents& parts);

// `reference` (absolute, or relative as a playlist may give it) read against `base`, the URL of
// the document that names it. False when the result is no http or https URL.
bool resolveUrl(std::string_view base, std::string_view reference, std::string& resolved);

}  // namespace orvel
