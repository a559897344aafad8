// Placeholder implementation; the libcurl client replaces it.
#include "web/HttpClient.h"

struct HttpClient::Impl {};

HttpClient::HttpClient(FetchHost& host) : host_(host), impl_(std::make_unique<Impl>()) {}
HttpClient::~HttpClient() = default;

bool HttpClient::Get(const std::string&, const std::function<bool(std::string_view)>&) {
  return false;
}

bool HttpClient::Post(const std::string&, const std::string&, const std::string&, std::string& reply) {
  reply.clear();
  return false;
}

void HttpClient::Disconnect() noexcept {}

bool HttpClient::Busy() const { return false; }
