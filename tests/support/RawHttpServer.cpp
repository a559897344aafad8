#include "support/RawHttpServer.h"

#include <fcntl.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <stdexcept>

#include "support/LoopbackSocket.h"

namespace quorvane {

namespace {

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

const char* Reason(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 301:
      return "Moved Permanently";
    case 302:
      return "Found";
    case 303:
      return "See Other";
    case 307:
      return "Temporary Redirect";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    default:
      return "Status";
  }
}

}  // namespace

std::string RawHttpServer::Request::Header(std::string_view name) const {
  for (const auto& [key, value] : headers)
    if (EqualsNoCase(key, name)) return value;
  return {};
}

bool RawHttpServer::Request::HasHeader(std::string_view name) const {
  return std::any_of(headers.begin(), headers.end(),
                     [&](const auto& h) { return EqualsNoCase(h.first, name); });
}

RawHttpServer::Reply& RawHttpServer::Reply::Send(std::string bytes) {
  steps_.push_back({Step::Kind::kSend, std::move(bytes), {}, 0});
  return *this;
}

RawHttpServer::Reply& RawHttpServer::Reply::Drip(std::string_view bytes, std::size_t piece,
                                                 std::chrono::milliseconds gap) {
  for (std::size_t pos = 0; pos < bytes.size(); pos += piece) {
    if (pos > 0) Pause(gap);
    Send(std::string(bytes.substr(pos, piece)));
  }
  return *this;
}

RawHttpServer::Reply& RawHttpServer::Reply::Pause(std::chrono::milliseconds gap) {
  steps_.push_back({Step::Kind::kPause, {}, gap, 0});
  return *this;
}

RawHttpServer::Reply& RawHttpServer::Reply::Hold() {
  steps_.push_back({Step::Kind::kHold, {}, {}, 0});
  return *this;
}

RawHttpServer::Reply& RawHttpServer::Reply::Repeat(std::string piece, std::uint64_t total) {
  if (!piece.empty()) steps_.push_back({Step::Kind::kRepeat, std::move(piece), {}, total});
  return *this;
}

RawHttpServer::Reply& RawHttpServer::Reply::Endless(std::string piece) {
  return Repeat(std::move(piece), UINT64_MAX);
}

RawHttpServer::Reply& RawHttpServer::Reply::Reset() {
  steps_.push_back({Step::Kind::kReset, {}, {}, 0});
  return *this;
}

RawHttpServer::Reply& RawHttpServer::Reply::KeepAlive() {
  keepAlive_ = true;
  return *this;
}

RawHttpServer::Reply RawHttpServer::Respond(int status, std::string_view body,
                                            std::string_view extraHeaders) {
  std::string bytes = "HTTP/1.1 " + std::to_string(status) + " " + Reason(status) + "\r\n";
  bytes += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  bytes += extraHeaders;
  bytes += "\r\n";
  bytes += body;
  Reply reply;
  reply.Send(std::move(bytes)).KeepAlive();
  return reply;
}

struct RawHttpServer::Connection {
  int fd = -1;
  SSL* ssl = nullptr;
};

RawHttpServer::RawHttpServer(Handler handler, int port) : handler_(std::move(handler)) {
  const LoopbackSocket bound = BindLoopback(port, /*backlog=*/64, /*reuseAddress=*/true);
  listenFd_ = bound.fd;
  port_ = bound.port;
  Start();
}

RawHttpServer::RawHttpServer(Handler handler, const Tls& tls, int port)
    : handler_(std::move(handler)) {
  // OpenSSL writes to the socket with write(): a client that hangs up
  // during the handshake (one that refuses the certificate does) must end
  // that connection, not the test process.
  std::signal(SIGPIPE, SIG_IGN);
  SSL_CTX* context = SSL_CTX_new(TLS_server_method());
  if (context == nullptr) throw std::runtime_error("cannot make a TLS context");
  tls_.reset(context, [](void* c) { SSL_CTX_free(static_cast<SSL_CTX*>(c)); });
  if (SSL_CTX_use_certificate_chain_file(context, tls.certificate.c_str()) != 1 ||
      SSL_CTX_use_PrivateKey_file(context, tls.key.c_str(), SSL_FILETYPE_PEM) != 1)
    throw std::runtime_error("cannot use the certificate " + tls.certificate.string());
  SSL_CTX_set_alpn_select_cb(
      context,
      [](SSL*, const unsigned char**, unsigned char*, const unsigned char* in,
         unsigned int inLength, void* self) {
        auto& server = *static_cast<RawHttpServer*>(self);
        std::lock_guard lock(server.mutex_);
        server.offeredProtocols_.assign(reinterpret_cast<const char*>(in), inLength);
        return SSL_TLSEXT_ERR_NOACK;  // plain HTTP/1.x, whatever was offered
      },
      this);
  if (tls.maxVersion != 0) {
    // A server of old: the system's settings would refuse to offer it.
    SSL_CTX_set_security_level(context, 0);
    SSL_CTX_set_cipher_list(context, "DEFAULT:@SECLEVEL=0");
    SSL_CTX_set_min_proto_version(context, TLS1_VERSION);
    SSL_CTX_set_max_proto_version(context, tls.maxVersion);
  }
  const LoopbackSocket bound = BindLoopback(port, /*backlog=*/64, /*reuseAddress=*/true);
  listenFd_ = bound.fd;
  port_ = bound.port;
  Start();
}

void RawHttpServer::Start() {
  int wake[2];
  if (::pipe2(wake, O_CLOEXEC) != 0) {
    ::close(listenFd_);
    throw std::runtime_error("cannot make the wake-up pipe");
  }
  wakeRead_ = wake[0];
  wakeWrite_ = wake[1];
  acceptThread_ = std::thread([this] { AcceptLoop(); });
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return started_; });
}

RawHttpServer::~RawHttpServer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  // The pipe stays readable: every poll of every thread wakes up.
  [[maybe_unused]] const auto n = ::write(wakeWrite_, "x", 1);
  acceptThread_.join();
  for (auto& w : workers_) w.thread.join();
  ::close(listenFd_);
  ::close(wakeRead_);
  ::close(wakeWrite_);
}

std::string RawHttpServer::Url(std::string_view target) const {
  std::string url = LoopbackUrl(port_, target);
  if (tls_) url.insert(4, "s");
  return url;
}

int RawHttpServer::FailedHandshakes() const {
  std::lock_guard lock(mutex_);
  return failedHandshakes_;
}

int RawHttpServer::ResumedSessions() const {
  std::lock_guard lock(mutex_);
  return resumedSessions_;
}

std::string RawHttpServer::OfferedProtocols() const {
  std::lock_guard lock(mutex_);
  return offeredProtocols_;
}

std::vector<RawHttpServer::Request> RawHttpServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::size_t RawHttpServer::RequestCount() const {
  std::lock_guard lock(mutex_);
  return requests_.size();
}

int RawHttpServer::ConnectionCount() const {
  std::lock_guard lock(mutex_);
  return connections_;
}

int RawHttpServer::ClientCloses() const {
  std::lock_guard lock(mutex_);
  return clientCloses_;
}

bool RawHttpServer::WaitForClientCloses(int count, std::chrono::milliseconds limit) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, limit, [&] { return clientCloses_ >= count; });
}

void RawHttpServer::NoteClientClose() {
  {
    std::lock_guard lock(mutex_);
    ++clientCloses_;
  }
  changed_.notify_all();
}

void RawHttpServer::AcceptLoop() {
  {
    std::lock_guard lock(mutex_);
    started_ = true;
  }
  changed_.notify_all();
  for (;;) {
    pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents != 0) return;
    if ((fds[0].revents & POLLIN) == 0) continue;
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    std::erase_if(workers_, [](Worker& w) {
      if (!w.done->load()) return false;
      w.thread.join();
      return true;
    });
    int connection = 0;
    {
      std::lock_guard lock(mutex_);
      connection = ++connections_;
    }
    auto done = std::make_shared<std::atomic<bool>>(false);
    workers_.push_back({std::thread([this, fd, connection, done] {
                          Serve(fd, connection);
                          done->store(true);
                        }),
                        done});
  }
}

// Waits until `fd` is ready for `events` (or an end of stream or error
// came); false when the server stops first.
bool RawHttpServer::WaitFor(int fd, short events) {
  for (;;) {
    pollfd fds[2] = {{fd, events, 0}, {wakeRead_, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (fds[1].revents != 0) return false;
    if (fds[0].revents != 0) return true;
  }
}

bool RawHttpServer::WaitReadable(int fd) {
  return WaitFor(fd, POLLIN);
}

bool RawHttpServer::Handshake(Connection& c) {
  for (;;) {
    const int r = SSL_accept(c.ssl);
    if (r == 1) {
      if (SSL_session_reused(c.ssl) == 1) {
        std::lock_guard lock(mutex_);
        ++resumedSessions_;
      }
      return true;
    }
    const int error = SSL_get_error(c.ssl, r);
    if (error == SSL_ERROR_WANT_READ && WaitFor(c.fd, POLLIN)) continue;
    if (error == SSL_ERROR_WANT_WRITE && WaitFor(c.fd, POLLOUT)) continue;
    {
      std::lock_guard lock(mutex_);
      ++failedHandshakes_;
    }
    changed_.notify_all();
    return false;
  }
}

long RawHttpServer::Receive(Connection& c, char* buffer, std::size_t size) {
  if (c.ssl == nullptr) {
    if (!WaitReadable(c.fd)) return -1;
    const auto n = ::recv(c.fd, buffer, size, 0);
    return n > 0 ? static_cast<long>(n) : 0;
  }
  for (;;) {
    const int r = SSL_read(c.ssl, buffer, static_cast<int>(size));
    if (r > 0) return r;
    const int error = SSL_get_error(c.ssl, r);
    if (error == SSL_ERROR_WANT_READ) {
      if (!WaitFor(c.fd, POLLIN)) return -1;
    } else if (error == SSL_ERROR_WANT_WRITE) {
      if (!WaitFor(c.fd, POLLOUT)) return -1;
    } else {
      ERR_clear_error();
      return 0;
    }
  }
}

bool RawHttpServer::SendAll(Connection& c, std::string_view bytes) {
  while (!bytes.empty()) {
    if (c.ssl != nullptr) {
      const int size = static_cast<int>(std::min<std::size_t>(bytes.size(), 16 * 1024));
      const int r = SSL_write(c.ssl, bytes.data(), size);
      if (r > 0) {
        bytes.remove_prefix(static_cast<std::size_t>(r));
        continue;
      }
      const int error = SSL_get_error(c.ssl, r);
      // A write that must wait is repeated with the same bytes.
      if (error == SSL_ERROR_WANT_WRITE && WaitFor(c.fd, POLLOUT)) continue;
      if (error == SSL_ERROR_WANT_READ && WaitFor(c.fd, POLLIN)) continue;
      ERR_clear_error();
      if (error != SSL_ERROR_WANT_WRITE && error != SSL_ERROR_WANT_READ) NoteClientClose();
      return false;
    }
    pollfd fds[2] = {{c.fd, POLLOUT, 0}, {wakeRead_, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (fds[1].revents != 0) return false;
    const auto n = ::send(c.fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0) {
      if (errno == EAGAIN || errno == EINTR) continue;
      NoteClientClose();
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool RawHttpServer::SendRepeated(Connection& c, std::string_view piece, std::uint64_t total) {
  // One block of whole copies of the piece, sent again and again.
  std::string block;
  const std::size_t copies = std::max<std::size_t>(1, (64 * 1024) / piece.size());
  block.reserve(copies * piece.size());
  for (std::size_t i = 0; i < copies; ++i) block.append(piece);
  while (total > 0) {
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(total, block.size()));
    if (!SendAll(c, std::string_view(block).substr(0, n))) return false;
    total -= n;
  }
  return true;
}

bool RawHttpServer::ReadRequest(Connection& c, std::string& pending, Request& request) {
  const auto receive = [&]() {
    char buffer[16 * 1024];
    const long n = Receive(c, buffer, sizeof buffer);
    if (n < 0) return false;
    if (n == 0) {
      NoteClientClose();
      return false;
    }
    pending.append(buffer, static_cast<std::size_t>(n));
    return true;
  };
  std::size_t headEnd;
  while ((headEnd = pending.find("\r\n\r\n")) == std::string::npos)
    if (!receive()) return false;
  headEnd += 4;

  const std::string_view head(pending.data(), headEnd - 4);
  std::size_t lineEnd = head.find("\r\n");
  const std::string_view requestLine = head.substr(0, lineEnd);
  const auto sp1 = requestLine.find(' ');
  const auto sp2 = requestLine.rfind(' ');
  request.method = std::string(requestLine.substr(0, sp1));
  if (sp1 != std::string_view::npos && sp2 > sp1) {
    request.target = std::string(requestLine.substr(sp1 + 1, sp2 - sp1 - 1));
    request.version = std::string(requestLine.substr(sp2 + 1));
  }
  std::size_t bodyLength = 0;
  while (lineEnd != std::string_view::npos) {
    const std::size_t start = lineEnd + 2;
    lineEnd = head.find("\r\n", start);
    const std::string_view line = head.substr(
        start, lineEnd == std::string_view::npos ? std::string_view::npos : lineEnd - start);
    const auto colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    request.headers.emplace_back(std::string(line.substr(0, colon)),
                                 std::string(Trim(line.substr(colon + 1))));
    if (EqualsNoCase(request.headers.back().first, "Content-Length"))
      bodyLength = std::stoul(request.headers.back().second);
  }
  if (answerBeforeBody_) {
    request.bytes = pending.substr(0, headEnd);
    pending.erase(0, headEnd);
    return true;
  }
  while (pending.size() < headEnd + bodyLength)
    if (!receive()) return false;
  request.bytes = pending.substr(0, headEnd + bodyLength);
  request.body = pending.substr(headEnd, bodyLength);
  pending.erase(0, headEnd + bodyLength);
  return true;
}

void RawHttpServer::Serve(int fd, int connection) {
  Connection c{fd, nullptr};
  const std::unique_ptr<SSL, void (*)(SSL*)> ssl(
      tls_ ? SSL_new(static_cast<SSL_CTX*>(tls_.get())) : nullptr, [](SSL* s) { SSL_free(s); });
  if (tls_) {
    // Non-blocking, so that a stop of the server reaches every wait.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    c.ssl = ssl.get();
    if (c.ssl == nullptr || SSL_set_fd(c.ssl, fd) != 1 || !Handshake(c)) {
      ::close(fd);
      return;
    }
  }
  std::string pending;
  bool reset = false;
  for (bool alive = true; alive;) {
    Request request;
    request.connection = connection;
    if (!ReadRequest(c, pending, request)) break;
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(request);
    }
    changed_.notify_all();
    const Reply reply = handler_(request);
    for (const auto& step : reply.Steps()) {
      if (step.kind == Reply::Step::Kind::kSend) {
        alive = SendAll(c, step.bytes);
      } else if (step.kind == Reply::Step::Kind::kRepeat) {
        alive = SendRepeated(c, step.bytes, step.total);
      } else if (step.kind == Reply::Step::Kind::kReset) {
        const linger abort{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        reset = true;
        alive = false;
      } else if (step.kind == Reply::Step::Kind::kPause) {
        std::unique_lock lock(mutex_);
        alive = !changed_.wait_for(lock, step.gap, [this] { return stopping_; });
      } else {
        // Hold: swallow whatever comes until the client goes away.
        alive = false;
        char buffer[4096];
        for (;;) {
          const long n = Receive(c, buffer, sizeof buffer);
          if (n < 0) break;
          if (n == 0) {
            NoteClientClose();
            break;
          }
        }
      }
      if (!alive) break;
    }
    alive = alive && reply.KeepsAlive();
  }
  if (c.ssl != nullptr && !reset) SSL_shutdown(c.ssl);
  ::close(fd);
}

}  // namespace quorvane
