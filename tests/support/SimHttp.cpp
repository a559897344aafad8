#include "support/SimHttp.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <stdexcept>

#include "support/LoopbackSocket.h"

namespace quorvane {

namespace {

struct EasyDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

class Socket {
 public:
  explicit Socket(int fd) : fd_(fd) {}
  ~Socket() {
    if (fd_ >= 0) close(fd_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

size_t Append(char* data, size_t size, size_t count, void* target) {
  static_cast<std::string*>(target)->append(data, size * count);
  return size * count;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

std::string HttpReply::Header(const std::string& name) const {
  // Only the last header block counts (after redirects).
  const auto lastBlock = rawHeaders.rfind("HTTP/");
  const std::string block =
      lastBlock == std::string::npos ? rawHeaders : rawHeaders.substr(lastBlock);
  const std::string wanted = Lower(name) + ":";
  std::size_t start = 0;
  while (start < block.size()) {
    const auto eol = block.find("\r\n", start);
    const std::string line = block.substr(start, eol - start);
    if (Lower(line.substr(0, wanted.size())) == wanted) {
      std::string value = line.substr(wanted.size());
      while (!value.empty() && value.front() == ' ') value.erase(0, 1);
      return value;
    }
    if (eol == std::string::npos) break;
    start = eol + 2;
  }
  return {};
}

bool HttpReply::HasHeader(const std::string& name) const {
  return Lower(rawHeaders).find("\r\n" + Lower(name) + ":") != std::string::npos;
}

HttpReply Fetch(const std::string& url, const HttpOptions& options) {
  std::unique_ptr<CURL, EasyDeleter> curl(curl_easy_init());
  if (!curl) throw std::runtime_error("curl_easy_init failed");
  HttpReply reply;
  std::unique_ptr<curl_slist, ListDeleter> headers;
  for (const std::string& header : options.headers) {
    headers.reset(curl_slist_append(headers.release(), header.c_str()));
  }
  CURL* c = curl.get();
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(c, CURLOPT_NOPROXY, "*");
  curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, options.timeoutMs);
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, options.follow ? 1L : 0L);
  curl_easy_setopt(c, CURLOPT_HTTP_VERSION,
                   options.http10 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, Append);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &reply.body);
  curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, Append);
  curl_easy_setopt(c, CURLOPT_HEADERDATA, &reply.rawHeaders);
  if (headers) curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
  if (!options.caFile.empty()) curl_easy_setopt(c, CURLOPT_CAINFO, options.caFile.c_str());
  if (options.post || !options.postBody.empty()) {
    curl_easy_setopt(c, CURLOPT_POST, 1L);
    curl_easy_setopt(c, CURLOPT_POSTFIELDS, options.postBody.data());
    curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE, static_cast<long>(options.postBody.size()));
  }
  if (!options.method.empty()) curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, options.method.c_str());
  const auto start = std::chrono::steady_clock::now();
  reply.code = curl_easy_perform(c);
  reply.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &reply.status);
  curl_easy_getinfo(c, CURLINFO_REDIRECT_COUNT, &reply.redirects);
  return reply;
}

std::string RawExchange(int port, const std::string& request, int timeoutMs) {
  Socket sock(socket(AF_INET, SOCK_STREAM, 0));
  if (sock.Get() < 0) throw std::runtime_error("socket failed");
  const sockaddr_in addr = LoopbackAddress(port);
  if (connect(sock.Get(), reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) != 0) {
    throw std::runtime_error("connect failed");
  }
  std::size_t sent = 0;
  while (sent < request.size()) {
    const ssize_t n = send(sock.Get(), request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) throw std::runtime_error("send failed");
    sent += static_cast<std::size_t>(n);
  }
  std::string received;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0) break;
    pollfd pfd{sock.Get(), POLLIN, 0};
    if (poll(&pfd, 1, static_cast<int>(left)) <= 0) break;
    char buffer[4096];
    const ssize_t n = recv(sock.Get(), buffer, sizeof(buffer), 0);
    if (n <= 0) break;
    received.append(buffer, static_cast<std::size_t>(n));
  }
  return received;
}

}  // namespace quorvane
