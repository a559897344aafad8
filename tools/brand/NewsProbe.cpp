#include "brand/NewsProbe.h"

#include <httplib.h>

#include "base/AsciiText.h"

namespace quorvane {

namespace {

constexpr std::string_view kScript = "getlastnews.php";

std::string Shortened(std::string_view text) {
  std::string out;
  for (const char c : text.substr(0, 60)) {
    const auto byte = static_cast<unsigned char>(c);
    out += byte < 0x20 || byte == 0x7F ? ' ' : c;
  }
  if (text.size() > 60) out += "...";
  return out;
}

std::string Failure(httplib::Error error) {
  switch (error) {
    case httplib::Error::Connection:
      return "no connection";
    case httplib::Error::ConnectionTimeout:
    case httplib::Error::Read:
      return "no answer in time, or the connection broke";
    case httplib::Error::SSLConnection:
      return "the TLS connection failed";
    case httplib::Error::SSLServerVerification:
      return "its certificate does not verify against the system's authorities";
    default:
      return httplib::to_string(error);
  }
}

}  // namespace

std::optional<std::string> NewsAnswerTrouble(const NewsAnswer& answer,
                                             const NewsIdentity& identity) {
  if (!answer.failure.empty()) return "the news service does not answer: " + answer.failure;
  if (answer.status >= 300 && answer.status < 400) {
    return "the news service answers with a redirect (" + std::to_string(answer.status) +
           (answer.location.empty() ? "" : " to " + answer.location) +
           "): a redirected news request loses its form, so write the address it leads to";
  }
  if (answer.status != 200) {
    return "the news service answers HTTP " + std::to_string(answer.status) + " for " +
           std::string(kScript);
  }
  const std::string reply(Trim(answer.body, kControlsAndSpace));
  if (reply.find("OK") != std::string::npos) return std::nullopt;
  if (reply == "INVALIDUSER") {
    return "the news service does not know the publisher id \"" + identity.publisherId + "\" (" +
           identity.publisherTag + ")";
  }
  if (reply == "INVALIDPRODUCT") {
    return "the news service refuses the product code \"" + identity.productCode +
           "\" (BranderCode) with the product type " + identity.productType;
  }
  if (reply == "CONNECTIONFAIL") {
    return "the news service reports trouble with its own settings (CONNECTIONFAIL)";
  }
  if (reply.empty()) return "the news service answers nothing";
  return "the answer is not a news service's: \"" + Shortened(reply) + "\"";
}

std::optional<std::string> AskNewsService(const NewsIdentity& identity, int timeoutSeconds) {
  // "scheme://host[:port]" for the client, the rest is the path.
  const std::string& base = identity.address;
  const auto hostStart = base.find("://");
  const auto pathStart =
      hostStart == std::string::npos ? std::string::npos : base.find('/', hostStart + 3);
  const std::string origin = base.substr(0, pathStart);
  std::string path = pathStart == std::string::npos ? "/" : base.substr(pathStart);
  if (!path.ends_with('/')) path += '/';
  path += kScript;

  NewsAnswer answer;
  httplib::Client client(origin);
  if (!client.is_valid()) {
    answer.failure = "the address cannot be used";
    return NewsAnswerTrouble(answer, identity);
  }
  client.set_connection_timeout(timeoutSeconds);
  client.set_read_timeout(timeoutSeconds);
  client.set_write_timeout(timeoutSeconds);
  client.set_follow_location(false);
  // Certificates are checked against the system's authorities, as the
  // program checks them.
  client.enable_server_certificate_verification(true);
  client.set_ca_cert_path("/etc/ssl/certs/ca-certificates.crt", "/etc/ssl/certs");
  const httplib::MultipartFormDataItems fields = {
      {"memusername", identity.publisherId, "", ""},
      {"prodcode", identity.productCode, "", ""},
      {"prodtype", identity.productType, "", ""},
      {"conttype", "lastcode", "", ""},
      {"newstarget", "UA", "", ""},
      {"something", "", "", ""},
  };
  const httplib::Result result = client.Post(path, fields);
  if (!result) {
    answer.failure = Failure(result.error());
  } else {
    answer.status = result->status;
    answer.location = result->get_header_value("Location");
    answer.body = result->body;
  }
  return NewsAnswerTrouble(answer, identity);
}

}  // namespace quorvane
