#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::newsd {

// Whose requests the service answers: a request must name one of the
// publisher ids, one of the product codes and one of the product types.
struct NewsAccess {
  std::set<std::string, std::less<>> publisherIds;
  std::set<std::string, std::less<>> productCodes;
  std::set<std::string, std::less<>> productTypes{"BM", "BP", "BG"};
};

// The service's configuration file, lines of "key = value", "#" comments:
//
//   listen            = 127.0.0.1:8080   host (or [IPv6]) and port
//   folder            = /srv/quorvane-news (relative: to the file's folder)
//   publisher_ids     = acme-gold acme-master   (blanks or commas between)
//   product_codes     = ACME-1
//   product_types     = BM BP BG
//   threads           = 8
//   max_request_bytes = 65536
//   rescan_seconds    = 30
//   log_requests      = yes
struct ServiceConfig {
  std::string host = "127.0.0.1";
  int port = 8080;
  std::filesystem::path folder;
  NewsAccess access;
  int threads = 8;
  std::size_t maxRequestBytes = 64 * 1024;
  int rescanSeconds = 30;
  bool logRequests = true;
};

struct ConfigParse {
  std::optional<ServiceConfig> config;
  std::vector<std::string> errors;  // "FILE:LINE: key: why", one each
};

// `file` names the text in errors and anchors a relative folder.
ConfigParse ParseServiceConfig(std::string_view text, const std::filesystem::path& file);

// "host:port" or "[v6]:port" into the configuration; false when it is not.
bool ParseListen(std::string_view value, ServiceConfig& config);

}  // namespace quorvane::newsd
