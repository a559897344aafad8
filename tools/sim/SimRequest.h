#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvane::sim {

// Which simulated service a request reached.
enum class SimService {
  kSuggest,              // GET /?seed=...
  kSecurityImageAnswer,  // GET /keyword-suggestion-tool.html?password=...
  kSecurityImage,        // GET /captcha.png?random=...
  kGoogle,               // GET /search?q=...
  kYahoo,                // GET /search?p=...
  kMsn,                  // GET /results.aspx?q=...
  kNewsList,             // .../getlastnews.php (both conttype values)
  kNewsDetails,          // .../getnewsdetails.php
  kUpdate,               // GET /liveupdate/quorvane/...
  kFault,                // /fault/...
  kInfo,                 // GET /sim
  kUnknown,              // anything else (answered 404)
};

const char* ToString(SimService service);

// One part of a multipart/form-data body.
struct SimFormField {
  std::string name;
  std::string value;  // the part's bytes, exactly
  std::string filename;
  std::string contentType;
};

// A request as the simulator received it.
struct SimRequest {
  SimService service = SimService::kUnknown;
  std::string method;   // "GET", "POST", ...
  std::string target;   // request target exactly as sent, never percent-decoded
  std::string path;     // path part of `target`, percent-decoded
  std::string version;  // "HTTP/1.1", "HTTP/1.0"
  // Header names as sent. Ordered by name (case-insensitively), not by
  // arrival: the HTTP library keeps them in a sorted map.
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  // For multipart/form-data bodies that parse, the parts in body order.
  // The parser follows RFC 2046 strictly: the CR LF before a delimiter
  // belongs to the delimiter, so a client that writes an extra CR LF pair
  // before the closing delimiter gives its last field the value "\r\n".
  bool multipart = false;
  bool multipartValid = false;
  std::string multipartError;  // why the body did not parse
  std::vector<SimFormField> fields;

  // First value of a header, name compared case-insensitively; "" if absent.
  std::string Header(std::string_view name) const;
  bool HasHeader(std::string_view name) const;
  // First field of that name (exact), or nullptr.
  const SimFormField* Field(std::string_view name) const;
};

}  // namespace quorvane::sim
