#include "web/SetCookie2.h"

#include <charconv>
#include <limits>

#include "base/AsciiText.h"

namespace quorvane {

namespace {

// Splits at `separator` outside double-quoted strings. When `cookieStart`
// is set, a separator only counts when a "token=" follows it, so that a
// stray comma inside an unquoted value (a date, say) does not cut a cookie.
std::vector<std::string_view> SplitOutsideQuotes(std::string_view s, char separator,
                                                 bool cookieStart) {
  std::vector<std::string_view> parts;
  bool quoted = false;
  std::size_t begin = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (quoted) {
      if (c == '\\' && i + 1 < s.size()) {
        ++i;
      } else if (c == '"') {
        quoted = false;
      }
      continue;
    }
    if (c == '"') {
      quoted = true;
      continue;
    }
    if (c != separator) continue;
    if (cookieStart) {
      std::size_t j = i + 1;
      while (j < s.size() && IsBlank(s[j], kSpaceTab)) ++j;
      const std::size_t tokenBegin = j;
      while (j < s.size() && s[j] != '=' && s[j] != ';' && s[j] != ',' && !IsBlank(s[j], kSpaceTab))
        ++j;
      while (j < s.size() && IsBlank(s[j], kSpaceTab)) ++j;
      if (j == tokenBegin || j >= s.size() || s[j] != '=') continue;
    }
    parts.push_back(s.substr(begin, i - begin));
    begin = i + 1;
  }
  parts.push_back(s.substr(begin));
  return parts;
}

std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') return v.substr(1, v.size() - 2);
  return v;
}

// A value that would break the tab-separated line cannot be stored.
bool Storable(std::string_view s) {
  for (char c : s)
    if (c == '\t' || c == '\r' || c == '\n' || c == '\0') return false;
  return true;
}

// An address is matched only as a whole, never as a domain suffix.
bool IsIpLiteral(std::string_view host) {
  if (host.find(':') != std::string_view::npos) return true;
  for (char c : host)
    if ((c < '0' || c > '9') && c != '.') return false;
  return !host.empty();
}

std::string DefaultPath(std::string_view requestPath) {
  const auto slash = requestPath.rfind('/');
  if (slash == std::string_view::npos || slash == 0) return "/";
  return std::string(requestPath.substr(0, slash));
}

std::int64_t ExpiryFromMaxAge(std::string_view value, std::int64_t now, bool& valid) {
  std::int64_t seconds = 0;
  const auto* end = value.data() + value.size();
  const auto [ptr, ec] = std::from_chars(value.data(), end, seconds);
  valid = ec == std::errc() && ptr == end && seconds >= 0;
  if (!valid && ec == std::errc::result_out_of_range) {
    valid = true;
    seconds = std::numeric_limits<std::int64_t>::max();
  }
  if (!valid) return 0;
  if (seconds == 0) return 1;  // in the past: the cookie is deleted
  // Only a clock past the epoch can push the sum over the top; the test
  // itself must not overflow for one set before it.
  if (now > 0 && seconds > std::numeric_limits<std::int64_t>::max() - now)
    return std::numeric_limits<std::int64_t>::max();
  return now + seconds;
}

}  // namespace

std::vector<std::string> SetCookie2Lines(std::string_view headerValue, std::string_view requestHost,
                                         std::string_view requestPath, std::int64_t now) {
  std::vector<std::string> lines;
  const std::string host = LowerAscii(requestHost);
  const bool ipHost = IsIpLiteral(host);
  for (std::string_view cookie : SplitOutsideQuotes(headerValue, ',', true)) {
    const auto fields = SplitOutsideQuotes(cookie, ';', false);
    const std::string_view pair = Trim(fields.front(), kSpaceTab);
    const auto eq = pair.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view name = Trim(pair.substr(0, eq), kSpaceTab);
    const std::string_view value = Trim(pair.substr(eq + 1), kSpaceTab);
    if (name.empty() || name.front() == '$' || !Storable(name) || !Storable(value)) continue;

    std::string domain = host;
    bool subdomains = false;
    std::string path = DefaultPath(requestPath);
    bool secure = false;
    std::int64_t expiry = 0;  // 0: a session cookie
    bool rejected = false;
    for (std::size_t i = 1; i < fields.size() && !rejected; ++i) {
      const std::string_view attr = Trim(fields[i], kSpaceTab);
      const auto aeq = attr.find('=');
      const std::string_view key = Trim(attr.substr(0, aeq), kSpaceTab);
      const std::string_view val = aeq == std::string_view::npos
                                       ? std::string_view()
                                       : Unquote(Trim(attr.substr(aeq + 1), kSpaceTab));
      if (EqualsNoCase(key, "domain")) {
        std::string d = LowerAscii(val);
        while (!d.empty() && d.front() == '.') d.erase(0, 1);
        const bool within = !ipHost && host.size() > d.size() && host.ends_with(d) &&
                            host[host.size() - d.size() - 1] == '.';
        if (d.empty() || !Storable(d) || (host != d && !within)) {
          rejected = true;
        } else if (!ipHost) {
          domain = "." + d;
          subdomains = true;
        }
      } else if (EqualsNoCase(key, "path")) {
        if (val.empty() || !Storable(val)) {
          rejected = true;
        } else {
          path = std::string(val);
        }
      } else if (EqualsNoCase(key, "max-age")) {
        bool valid = false;
        const std::int64_t e = ExpiryFromMaxAge(val, now, valid);
        if (valid) expiry = e;
      } else if (EqualsNoCase(key, "secure")) {
        secure = true;
      }
    }
    if (rejected) continue;

    std::string line;
    line.append(domain).append("\t");
    line.append(subdomains ? "TRUE" : "FALSE").append("\t");
    line.append(path).append("\t");
    line.append(secure ? "TRUE" : "FALSE").append("\t");
    line.append(std::to_string(expiry)).append("\t");
    line.append(name).append("\t");
    line.append(value);
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace quorvane
