#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "support/RawHttpServer.h"
#include "web/ServiceEndpoints.h"

namespace quorvane {

// All the outside services of the main window played by one raw server on
// 127.0.0.1. Each request is put down to the service it is for
// (ServiceOf); a service answers as scripted, and one without a script
// takes every request and never answers, so that a test can act while
// the window waits. Given a certificate, it serves https.
class ServiceServer {
 public:
  using Reply = RawHttpServer::Reply;
  using Request = RawHttpServer::Request;
  // The answer to a service's n-th request (1 for the first).
  using Answerer = std::function<Reply(int n)>;

  explicit ServiceServer(const std::optional<RawHttpServer::Tls>& tls = std::nullopt);

  // Scripts a service; set before the window sends to it.
  void Serve(const std::string& service, Answerer answer);
  void Serve(const std::string& service, const Reply& reply);

  // The requests the service has had, in order.
  std::vector<Request> Seen(const std::string& service) const;

  // The window's addresses: every service here.
  ServiceEndpoints Endpoints() const;

  RawHttpServer& Raw() { return server_; }
  const RawHttpServer& Raw() const { return server_; }

 private:
  mutable std::mutex mutex_;
  std::map<std::string, Answerer> answers_;
  std::map<std::string, int> counts_;
  // Last: its connection threads use the members above.
  RawHttpServer server_;
};

// The service a request is for: "suggest", "answer" (to the security
// image), "image", "google", "yahoo", "msn", "list" (the news list),
// "newest" (the newest news item), "details" (a news body), "update" (the
// update descriptor) or "other".
std::string ServiceOf(const RawHttpServer::Request& request);

}  // namespace quorvane
