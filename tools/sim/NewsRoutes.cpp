#include "sim/NewsRoutes.h"

#include <algorithm>

namespace quorvane::sim {

namespace {

std::string FieldValue(const SimRequest& request, std::string_view name) {
  const SimFormField* field = request.Field(name);
  return field ? field->value : std::string{};
}

NewsRoutes::Reply Text(std::string body) {
  return {200, std::move(body), "text/html"};
}

NewsRoutes::Reply BadRequest(std::string why) {
  return {400, "Bad request: " + why + "\n", "text/plain"};
}

}  // namespace

std::string NewsRoutes::EscapeBody(std::string_view body) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(body.size());
  for (std::size_t i = 0; i < body.size(); ++i) {
    const auto c = static_cast<unsigned char>(body[i]);
    const bool plain = c > 0x20 && c < 0x7F && c != '$' && c != '^';
    if (plain || (c == ' ' && i > 0)) {
      out += static_cast<char>(c);
    } else {
      out += '$';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

NewsRoutes::Reply NewsRoutes::Answer(const SimRequest& request, const NewsScenario& scenario) {
  const bool details = request.service == SimService::kNewsDetails;
  if (request.method != "POST") {
    return {405, "Only POST requests are served here.\n", "text/plain"};
  }
  if (scenario.status != 200) {
    return {scenario.status,
            "<html><body><h1>" + std::to_string(scenario.status) + "</h1></body></html>\n",
            "text/html"};
  }
  if (!request.multipart) return BadRequest("the body is not multipart/form-data");
  if (!request.multipartValid) return BadRequest("the multipart/form-data body does not parse");

  const std::string conttype = FieldValue(request, "conttype");
  if (details && scenario.detailsReply) return Text(*scenario.detailsReply);
  if (!details && conttype == "all" && scenario.listReply) return Text(*scenario.listReply);
  if (!details && conttype == "lastcode" && scenario.lastcodeReply) {
    return Text(*scenario.lastcodeReply);
  }

  if (scenario.connectionFail) return Text("CONNECTIONFAIL");
  if (FieldValue(request, "memusername") != scenario.publisherId) return Text("INVALIDUSER");
  const std::string prodtype = FieldValue(request, "prodtype");
  const bool knownType = scenario.productType.empty()
                             ? (prodtype == "BM" || prodtype == "BP" || prodtype == "BG")
                             : prodtype == scenario.productType;
  if (FieldValue(request, "prodcode") != scenario.productCode || !knownType) {
    return Text("INVALIDPRODUCT");
  }

  const std::string end = std::string(1, kSeparator) + "OK";
  if (details) {
    const std::string id = FieldValue(request, "newsid");
    for (const NewsItem& item : scenario.items) {
      if (std::to_string(item.id) == id) return Text(EscapeBody(item.body) + end);
    }
    return Text("INVALIDNEWS");
  }
  if (conttype == "all") {
    std::string reply;
    for (const NewsItem& item : scenario.items) {
      reply += std::to_string(item.id) + "^" + item.title + "^" + item.published + kSeparator;
    }
    return Text(reply + "OK");
  }
  if (conttype == "lastcode") {
    if (scenario.items.empty()) return Text("OK");
    const NewsItem& newest =
        *std::max_element(scenario.items.begin(), scenario.items.end(),
                          [](const NewsItem& a, const NewsItem& b) { return a.id < b.id; });
    return Text(std::to_string(newest.id) + "^" + newest.title + end);
  }
  return BadRequest("conttype must be all or lastcode");
}

}  // namespace quorvane::sim
