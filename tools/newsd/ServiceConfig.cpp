#include "newsd/ServiceConfig.h"

#include <charconv>
#include <functional>
#include <map>

#include "base/AsciiText.h"
#include "settings/SettingsLines.h"

namespace quorvane::newsd {

namespace {

std::vector<std::string> Words(std::string_view value) {
  std::vector<std::string> words;
  std::string word;
  for (const char c : value) {
    if (c == ',' || IsBlank(c, kWhiteSpace)) {
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

template <class Number>
bool ParseNumber(std::string_view text, Number low, Number high, Number& out) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < low || value > high)
    return false;
  out = value;
  return true;
}

}  // namespace

bool ParseListen(std::string_view value, ServiceConfig& config) {
  const auto colon = value.rfind(':');
  if (colon == std::string_view::npos || colon == 0) return false;
  std::string_view host = value.substr(0, colon);
  if (host.starts_with('[')) {
    if (!host.ends_with(']') || host.size() < 3) return false;
    host = host.substr(1, host.size() - 2);
  } else if (host.find(':') != std::string_view::npos) {
    return false;
  }
  for (const char c : host) {
    if (!IsAsciiAlnum(c) && c != '.' && c != '-' && c != ':') return false;
  }
  int port = 0;
  if (!ParseNumber(value.substr(colon + 1), 1, 65535, port)) return false;
  config.host = std::string(host);
  config.port = port;
  return true;
}

ConfigParse ParseServiceConfig(std::string_view text, const std::filesystem::path& file) {
  ConfigParse result;
  ServiceConfig config;
  std::set<std::string> seen;
  int number = 0;
  const auto error = [&](const std::string& key, const std::string& why) {
    std::string where;
    if (number > 0) where.append(1, ':').append(std::to_string(number));
    result.errors.push_back(file.string() + where + ": " + (key.empty() ? "" : key + ": ") + why);
  };
  using Setter = std::function<bool(std::string_view)>;
  const auto words = [](std::set<std::string, std::less<>>& into) {
    return [&into](std::string_view value) {
      into.clear();
      for (std::string& word : Words(value)) into.insert(std::move(word));
      return !into.empty();
    };
  };
  const std::map<std::string, std::pair<Setter, const char*>> keys = {
      {"listen",
       {[&](std::string_view v) { return ParseListen(v, config); },
        "must be host:port, e.g. 127.0.0.1:8080 or [::1]:8080"}},
      {"folder",
       {[&](std::string_view v) {
          config.folder = std::filesystem::path(std::string(v));
          if (config.folder.is_relative()) config.folder = file.parent_path() / config.folder;
          return !v.empty();
        },
        "must name the content folder"}},
      {"publisher_ids", {words(config.access.publisherIds), "must list at least one publisher id"}},
      {"product_codes", {words(config.access.productCodes), "must list at least one product code"}},
      {"product_types",
       {[&](std::string_view v) {
          if (!words(config.access.productTypes)(v)) return false;
          for (const std::string& type : config.access.productTypes) {
            if (type != "BM" && type != "BP" && type != "BG") return false;
          }
          return true;
        },
        "must list product types out of BM, BP and BG"}},
      {"threads",
       {[&](std::string_view v) { return ParseNumber(v, 1, 256, config.threads); },
        "must be a number from 1 to 256"}},
      {"max_request_bytes",
       {[&](std::string_view v) {
          return ParseNumber<std::size_t>(v, 1024, 16 * 1024 * 1024, config.maxRequestBytes);
        },
        "must be a number from 1024 to 16777216"}},
      {"rescan_seconds",
       {[&](std::string_view v) { return ParseNumber(v, 1, 3600, config.rescanSeconds); },
        "must be a number from 1 to 3600"}},
      {"log_requests",
       {[&](std::string_view v) {
          config.logRequests = v == "yes";
          return v == "yes" || v == "no";
        },
        "must be yes or no"}},
  };

  for (const std::string& raw : SplitLines(text)) {
    ++number;
    const std::string_view line = Trim(raw, kWhiteSpace);
    if (line.empty() || line.starts_with('#')) continue;
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) {
      error("", "not a \"key = value\" line");
      continue;
    }
    const std::string key(Trim(line.substr(0, equals), kWhiteSpace));
    const std::string_view value = Trim(line.substr(equals + 1), kWhiteSpace);
    const auto it = keys.find(key);
    if (it == keys.end()) {
      error(key, "unknown key");
      continue;
    }
    if (!seen.insert(key).second) {
      error(key, "given twice");
      continue;
    }
    if (!it->second.first(value)) error(key, it->second.second);
  }
  number = 0;
  for (const char* required : {"folder", "publisher_ids", "product_codes"}) {
    if (!seen.contains(required)) error(required, "missing");
  }
  if (result.errors.empty()) result.config = std::move(config);
  return result;
}

}  // namespace quorvane::newsd
