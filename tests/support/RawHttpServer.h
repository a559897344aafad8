#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace quorvane {

// A raw HTTP/1.x server on 127.0.0.1 for tests of the HTTP client. It
// records every request byte for byte and answers with scripted raw bytes,
// so a test can check exactly what went on the wire and serve answers no
// well-behaved server would (a body cut short, a drip, a held connection).
// Each connection runs in a thread of its own; the handler is called on
// those threads and must be safe to call concurrently. Given a certificate
// it speaks https: the same bytes, recorded inside TLS.
class RawHttpServer {
 public:
  // The TLS side of an https server.
  struct Tls {
    std::filesystem::path certificate;  // PEM
    std::filesystem::path key;          // PEM
    // The newest protocol it offers (TLS1_VERSION for a server of old);
    // 0: OpenSSL's newest.
    int maxVersion = 0;
  };

  // One request as received.
  struct Request {
    std::string bytes;  // request line, headers and body, exactly as sent
    std::string method;
    std::string target;
    std::string version;                                       // "HTTP/1.1"
    std::vector<std::pair<std::string, std::string>> headers;  // in order
    std::string body;
    int connection = 0;  // 1 for the first accepted connection

    // Value of the first header of that name (case-insensitive), or "".
    std::string Header(std::string_view name) const;
    bool HasHeader(std::string_view name) const;
  };

  // What to do with one request: steps run in order, then the connection
  // is closed, or kept for the next request with KeepAlive().
  class Reply {
   public:
    Reply& Send(std::string bytes);
    // Sends `bytes` in pieces of `piece` bytes with `gap` between them.
    Reply& Drip(std::string_view bytes, std::size_t piece, std::chrono::milliseconds gap);
    Reply& Pause(std::chrono::milliseconds gap);
    // Keeps the connection open, sending nothing, until the client closes
    // it or the server stops.
    Reply& Hold();
    Reply& KeepAlive();
    // Sends `total` bytes made of `piece` over and over (the last copy cut
    // short), generated as they go: a huge body costs no memory here.
    Reply& Repeat(std::string piece, std::uint64_t total);
    // Repeats `piece` until the client goes away.
    Reply& Endless(std::string piece);
    // Ends the connection with a TCP reset (SO_LINGER 0, then close)
    // instead of an orderly close; nothing after it runs.
    Reply& Reset();

    struct Step {
      enum class Kind { kSend, kPause, kHold, kRepeat, kReset } kind;
      std::string bytes;
      std::chrono::milliseconds gap{0};
      std::uint64_t total = 0;  // kRepeat: bytes to send
    };
    const std::vector<Step>& Steps() const { return steps_; }
    bool KeepsAlive() const { return keepAlive_; }

   private:
    std::vector<Step> steps_;
    bool keepAlive_ = false;
  };

  using Handler = std::function<Reply(const Request&)>;

  // A complete response with Content-Length; the connection stays open
  // for further requests.
  static Reply Respond(int status, std::string_view body, std::string_view extraHeaders = "");

  // Listens on 127.0.0.1:`port`, a free port when 0. Throws when the
  // port cannot be had.
  explicit RawHttpServer(Handler handler, int port = 0);
  // An https server. Throws when the certificate or key cannot be used.
  RawHttpServer(Handler handler, const Tls& tls, int port = 0);
  ~RawHttpServer();
  RawHttpServer(const RawHttpServer&) = delete;
  RawHttpServer& operator=(const RawHttpServer&) = delete;

  // From now on the handler is called as soon as a request's head is in,
  // before its body is read (Request::body stays empty and the body is
  // left unread, so such a connection cannot be kept alive): a reply can
  // cut a client that is still sending.
  void AnswerBeforeTheBody() { answerBeforeBody_ = true; }

  int Port() const { return port_; }
  // "http://127.0.0.1:<port>" (https for a TLS server) followed by `target`.
  std::string Url(std::string_view target = "/") const;

  std::vector<Request> Requests() const;
  std::size_t RequestCount() const;
  int ConnectionCount() const;
  // Connections on which the server saw the client close (end of stream
  // or reset) while it was reading from it or holding it open.
  int ClientCloses() const;
  // Waits (up to `limit`) until the client closed `count` connections.
  bool WaitForClientCloses(int count, std::chrono::milliseconds limit) const;
  // TLS only: connections whose handshake failed (the client refused the
  // server), and those that resumed an earlier session.
  int FailedHandshakes() const;
  int ResumedSessions() const;
  // The application protocols (ALPN) the last client offered, as OpenSSL
  // hands them over: each name after its length byte.
  std::string OfferedProtocols() const;

 private:
  // One accepted connection, in TLS or not.
  struct Connection;

  void Start();
  void AcceptLoop();
  void Serve(int fd, int connection);
  bool Handshake(Connection& c);
  // Bytes read into `buffer`; 0 when the client closed (or broke) the
  // connection, -1 when the server stops first.
  long Receive(Connection& c, char* buffer, std::size_t size);
  bool ReadRequest(Connection& c, std::string& pending, Request& request);
  bool SendAll(Connection& c, std::string_view bytes);
  bool SendRepeated(Connection& c, std::string_view piece, std::uint64_t total);
  bool WaitFor(int fd, short events);
  bool WaitReadable(int fd);
  void NoteClientClose();

  Handler handler_;
  std::shared_ptr<void> tls_;  // the SSL_CTX of an https server
  std::atomic<bool> answerBeforeBody_{false};
  int listenFd_ = -1;
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  int port_ = 0;

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool started_ = false;
  bool stopping_ = false;
  std::vector<Request> requests_;
  std::vector<int> openFds_;
  int connections_ = 0;
  int clientCloses_ = 0;
  int failedHandshakes_ = 0;
  int resumedSessions_ = 0;
  std::string offeredProtocols_;

  std::thread acceptThread_;
  // Connection threads with a flag each sets when it is done, so that the
  // accept loop can join finished ones (a benchmark opens thousands).
  struct Worker {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };
  std::vector<Worker> workers_;
};

}  // namespace quorvane
