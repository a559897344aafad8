#include "support/ServiceServer.h"

#include <utility>

#include "support/LoopbackEndpoints.h"

namespace quorvane {

namespace {

RawHttpServer MakeServer(RawHttpServer::Handler handler,
                         const std::optional<RawHttpServer::Tls>& tls) {
  if (tls) return RawHttpServer(std::move(handler), *tls);
  return RawHttpServer(std::move(handler));
}

}  // namespace

ServiceServer::ServiceServer(const std::optional<RawHttpServer::Tls>& tls)
    : server_(MakeServer(
          [this](const Request& r) {
            const std::lock_guard lock(mutex_);
            const std::string service = ServiceOf(r);
            const int n = ++counts_[service];
            const auto found = answers_.find(service);
            return found != answers_.end() ? found->second(n) : Reply().Hold();
          },
          tls)) {}

void ServiceServer::Serve(const std::string& service, Answerer answer) {
  const std::lock_guard lock(mutex_);
  answers_[service] = std::move(answer);
}

void ServiceServer::Serve(const std::string& service, const Reply& reply) {
  Serve(service, [reply](int) { return reply; });
}

std::vector<ServiceServer::Request> ServiceServer::Seen(const std::string& service) const {
  std::vector<Request> seen;
  for (const auto& r : server_.Requests())
    if (ServiceOf(r) == service) seen.push_back(r);
  return seen;
}

ServiceEndpoints ServiceServer::Endpoints() const {
  return EndpointsAt(server_.Url(""));
}

std::string ServiceOf(const RawHttpServer::Request& request) {
  const std::string& t = request.target;
  if (t.starts_with("/?seed=")) return "suggest";
  if (t.starts_with("/keyword-suggestion-tool.html")) return "answer";
  if (t.starts_with("/image")) return "image";
  if (t.starts_with("/search?q=")) return "google";
  if (t.starts_with("/search?p=")) return "yahoo";
  if (t.starts_with("/results.aspx")) return "msn";
  if (t.ends_with("getlastnews.php"))
    return request.body.find("lastcode") != std::string::npos ? "newest" : "list";
  if (t.ends_with("getnewsdetails.php")) return "details";
  if (t.ends_with("mainappupdate.inf")) return "update";
  return "other";
}

}  // namespace quorvane
