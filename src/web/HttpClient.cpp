#include "web/HttpClient.h"

#include <curl/curl.h>

#include <algorithm>
#include <ctime>
#include <exception>
#include <map>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "base/AsciiText.h"
#include "web/CurlHandles.h"
#include "web/LoopbackOnly.h"
#include "web/PollWait.h"
#include "web/RequestUrl.h"
#include "web/ResponseHead.h"
#include "web/SetCookie2.h"
#include "web/TlsFailure.h"
#include "web/TransferGauge.h"

namespace quorvane {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// At most this many requests in one fetch; a chain still redirecting at
// the last one fails.
constexpr int kMaxRequests = 15;
// Larger reads than libcurl's 16 KiB default (the size the curl tool uses):
// fewer rounds per big page.
constexpr long kReceiveBuffer = 100 * 1024;

constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 5.5; Windows NT 4.0)";

void InitCurlOnce() {
  static const CURLcode rc = curl_global_init(CURL_GLOBAL_DEFAULT);
  static_cast<void>(rc);
}

enum class Method { kGet, kPost };

// One request of a fetch and its response as it arrives. The callbacks
// run inside libcurl and only record; the host is called from the loop.
struct Exchange {
  int number = 1;  // 1 for the first request of a fetch
  CURL* easy = nullptr;
  const HttpClient::Sink* sink = nullptr;
  std::int64_t maxBody = 0;
  char curlError[CURL_ERROR_SIZE] = {};

  ResponseHead head;  // filled by the header callback

  bool connected = false;
  std::int64_t headerBytes = 0;  // of every response head, interim ones too
  std::int64_t received = 0;     // body bytes of this response
  bool sinkRefused = false;
  bool tooLarge = false;  // a body announced or grown beyond maxBody
  std::exception_ptr error;

  bool added = false;  // attached to the multi handle
  bool done = false;   // libcurl finished it
  CURLcode result = CURLE_OK;
  bool cut = false;       // detached before libcurl finished it
  bool timedOut = false;  // detached after the idle limit without a byte

  bool Redirect() const { return head.status >= 300 && head.status < 400; }
  // The body that is the result of the fetch.
  bool Final() const { return head.status >= 200 && head.status < 300; }
  // Cut while reading a body that only the server's close would end: that
  // ends it like a normal close.
  bool CutAtUntilCloseBody() const {
    return cut && head.headersDone && !head.chunked && head.length < 0;
  }
};

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto& x = *static_cast<Exchange*>(user);
  const std::size_t n = size * count;
  x.headerBytes += static_cast<std::int64_t>(n);
  try {
    x.head.Read(std::string_view(data, n));
  } catch (...) {
    x.error = std::current_exception();
    return 0;
  }
  // A body announced beyond the limit is not waited for.
  if (x.head.headersDone && x.head.length > x.maxBody) {
    x.tooLarge = true;
    return 0;
  }
  return n;
}

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto& x = *static_cast<Exchange*>(user);
  const std::size_t n = size * count;
  x.received += static_cast<std::int64_t>(n);
  if (x.received > x.maxBody) {
    x.tooLarge = true;
    return 0;
  }
  if (!x.Final() || x.sink == nullptr || !*x.sink) return n;
  try {
    if (!(*x.sink)(std::string_view(data, n))) {
      x.sinkRefused = true;
      return 0;
    }
  } catch (...) {
    x.error = std::current_exception();
    return 0;
  }
  return n;
}

// Called once the connection stands, just before the request is sent.
int OnConnected(void* user, char*, char*, int, int) {
  static_cast<Exchange*>(user)->connected = true;
  return CURL_PREREQFUNC_OK;
}

std::string UrlPart(CURLU* url, CURLUPart part, unsigned flags = 0) {
  char* raw = nullptr;
  if (curl_url_get(url, part, &raw, flags) != CURLUE_OK) return {};
  const CurlString owned(raw);
  return owned ? std::string(owned.get()) : std::string();
}

// The parts of an address that decide where a request goes.
struct Origin {
  bool valid = false;
  std::string scheme;  // lower case
  std::string host;
  std::string port;  // the scheme's default when none is named

  bool Secure() const { return scheme == "https"; }
  bool operator==(const Origin& o) const {
    return scheme == o.scheme && EqualsNoCase(host, o.host) && port == o.port;
  }
  // scheme://host, and the port when it is not the scheme's default.
  std::string Text() const {
    const bool standard =
        (scheme == "http" && port == "80") || (scheme == "https" && port == "443");
    return scheme + "://" + host + (standard ? "" : ":" + port);
  }
};

Origin OriginOf(const std::string& url) {
  Origin origin;
  const CurlUrl parsed(curl_url());
  if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, WithoutFragment(url).c_str(),
                              CURLU_PATH_AS_IS | CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK)
    return origin;
  origin.scheme = LowerAscii(UrlPart(parsed.get(), CURLUPART_SCHEME));
  origin.host = UrlPart(parsed.get(), CURLUPART_HOST);
  origin.port = UrlPart(parsed.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
  origin.valid = (origin.scheme == "http" || origin.scheme == "https") && !origin.host.empty();
  return origin;
}

int CurlSelect(int events) {
  return ((events & SocketWait::kRead) != 0 ? CURL_CSELECT_IN : 0) |
         ((events & SocketWait::kWrite) != 0 ? CURL_CSELECT_OUT : 0) |
         ((events & SocketWait::kError) != 0 ? CURL_CSELECT_ERR : 0);
}

}  // namespace

struct HttpClient::Impl {
  Impl(FetchHost& h, const Options& o) : host(h), options(o) {
    InitCurlOnce();
    share.reset(curl_share_init());
    if (share) {
      curl_share_setopt(share.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
      // Every page closes its connection; a resumed TLS session spares the
      // next one most of its handshake.
      curl_share_setopt(share.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    }
    multi = NewMulti();
    for (const auto& route : options.connectTo) {
      const std::string mapping = route.host + ":" + std::to_string(route.port) +
                                  ":127.0.0.1:" + std::to_string(route.localPort);
      curl_slist* grown = curl_slist_append(connectTo.get(), mapping.c_str());
      if (grown == nullptr) throw std::bad_alloc();
      static_cast<void>(connectTo.release());
      connectTo.reset(grown);
    }
  }
  ~Impl() {
    // libcurl may still tell the wait about sockets it closes.
    multi.reset();
    ForgetSockets();
  }
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  FetchHost& host;
  const Options options;
  // Before the handles: libcurl reports sockets to it while they go.
  std::unique_ptr<SocketWait> wait;
  std::map<int, int> watched;  // the sockets the wait watches, and for what
  CurlShare share;             // the cookie store and TLS sessions, for the client's life
  CurlMulti multi;             // holds the open connection between requests
  // When libcurl wants to be called for its time-outs; unset: never.
  bool curlTimerSet = false;
  Clock::time_point curlTimer;

  bool busy = false;
  bool cancelled = false;  // Disconnect() while the request ran
  bool dropConnections = false;
  // False while the connection cache is known to be empty: every request
  // since the last drop closed its connection as it ended.
  bool mayHoldConnection = false;
  bool closeAfterRequest = false;
  Exchange* current = nullptr;
  Clock::time_point nextPump;
  CurlSlist connectTo;  // Options::connectTo, as libcurl takes it
  std::string securityFailure;

  CurlMulti NewMulti();
  bool Run(Method method, const std::string& url, const std::string* contentType,
           const std::string* body, const Sink& sink);
  CurlEasy Prepare(Exchange& x, Method method, const std::string& url,
                   const std::string* contentType, const std::string* body, CurlSlist& headers);
  void Transfer(Exchange& x, std::int64_t uploadSize, Clock::time_point deadline);
  void Drive(const std::vector<SocketWait::Ready>& ready, Exchange& x);
  void Report(Exchange& x, TransferGauge& gauge, bool finished);
  void Pump();
  void Abort() noexcept;
  void StoreCookie2(const Exchange& x, const std::string& url);
  void Cut() noexcept;
  void TimeOut(Exchange& x) noexcept;
  bool Reachable(const Origin& origin) const;
  void RefuseForSecurity(std::string text);
  void ForgetSockets() noexcept {
    if (wait) {
      for (const auto& [fd, events] : watched) wait->Watch(fd, SocketWait::kNone);
    }
    watched.clear();
  }
  // libcurl closes the cached connections with their multi handle; a new
  // one is made only when there may be one to close.
  void DropConnections() noexcept {
    if (multi && !mayHoldConnection) return;
    multi = NewMulti();
    ForgetSockets();
    mayHoldConnection = false;
  }

  static int OnSocket(CURL*, curl_socket_t fd, int what, void* user, void*) {
    auto& self = *static_cast<Impl*>(user);
    int events = SocketWait::kNone;
    if (what == CURL_POLL_IN || what == CURL_POLL_INOUT) events |= SocketWait::kRead;
    if (what == CURL_POLL_OUT || what == CURL_POLL_INOUT) events |= SocketWait::kWrite;
    if (events == SocketWait::kNone) {
      self.watched.erase(fd);
    } else {
      self.watched[fd] = events;
    }
    if (self.wait) self.wait->Watch(fd, events);
    return 0;
  }
  static int OnTimer(CURLM*, long timeoutMs, void* user) {
    auto& self = *static_cast<Impl*>(user);
    self.curlTimerSet = timeoutMs >= 0;
    if (self.curlTimerSet) self.curlTimer = Clock::now() + milliseconds(timeoutMs);
    return 0;
  }
};

CurlMulti HttpClient::Impl::NewMulti() {
  CurlMulti made(curl_multi_init());
  if (!made) return made;
  curl_multi_setopt(made.get(), CURLMOPT_SOCKETFUNCTION, &Impl::OnSocket);
  curl_multi_setopt(made.get(), CURLMOPT_SOCKETDATA, static_cast<void*>(this));
  curl_multi_setopt(made.get(), CURLMOPT_TIMERFUNCTION, &Impl::OnTimer);
  curl_multi_setopt(made.get(), CURLMOPT_TIMERDATA, static_cast<void*>(this));
  curlTimerSet = false;
  return made;
}

// The interval runs from the moment the host starts looking at its
// messages, so a message posted just after that look waits one interval at
// most, however long the host took.
void HttpClient::Impl::Pump() {
  const bool connected = current != nullptr && current->connected;
  const auto start = Clock::now();
  host.ProcessMessages();
  nextPump = start + (connected ? options.waitingPump : options.connectingPump);
}

// The host's abort flag, found set at a progress report, cuts the
// transfer: one that libcurl finished within the same round is still cut
// here, the flag wins over data that happened to arrive fast.
void HttpClient::Impl::Abort() noexcept {
  Cut();
  if (current != nullptr) current->cut = true;
}

// Detaching an unfinished transfer from the multi handle makes libcurl
// close its connection; the easy handle itself stays owned by the request.
// A wait that handles the host's events (the Stop click came from there)
// ends at once.
void HttpClient::Impl::Cut() noexcept {
  cancelled = true;
  dropConnections = true;
  if (current != nullptr && current->added && !current->done) {
    curl_multi_remove_handle(multi.get(), current->easy);
    current->added = false;
    current->cut = true;
  }
  if (busy && wait) wait->Interrupt();
}

void HttpClient::Impl::TimeOut(Exchange& x) noexcept {
  dropConnections = true;
  if (x.added) curl_multi_remove_handle(multi.get(), x.easy);
  x.added = false;
  x.timedOut = true;
}

// Sends what happened since the last round to the host: the upload of a
// POST body, then the response body. Any host call may cut the transfer.
void HttpClient::Impl::Report(Exchange& x, TransferGauge& gauge, bool finished) {
  const bool over = finished || x.cut;
  curl_off_t sent = 0;
  curl_easy_getinfo(x.easy, CURLINFO_SIZE_UPLOAD_T, &sent);
  gauge.Upload(sent, x.head.headersDone || over);
  gauge.Download(x.head, x.received, x.cut, over);
}

// Lets libcurl act on the sockets that are ready, and on its time-outs
// when they are due, then collects a finished transfer.
void HttpClient::Impl::Drive(const std::vector<SocketWait::Ready>& ready, Exchange& x) {
  bool failed = false;
  int running = 0;
  for (const auto& r : ready) {
    failed = failed || curl_multi_socket_action(multi.get(), r.fd, CurlSelect(r.events),
                                                &running) != CURLM_OK;
  }
  if (curlTimerSet && Clock::now() >= curlTimer) {
    curlTimerSet = false;
    failed = failed ||
             curl_multi_socket_action(multi.get(), CURL_SOCKET_TIMEOUT, 0, &running) != CURLM_OK;
  }
  if (failed) {
    x.done = true;
    x.result = CURLE_FAILED_INIT;
  }
  int queued = 0;
  while (CURLMsg* msg = curl_multi_info_read(multi.get(), &queued)) {
    if (msg->msg == CURLMSG_DONE && msg->easy_handle == x.easy) {
      x.done = true;
      x.result = msg->data.result;
    }
  }
}

void HttpClient::Impl::Transfer(Exchange& x, std::int64_t uploadSize, Clock::time_point deadline) {
  if (!multi || curl_multi_add_handle(multi.get(), x.easy) != CURLM_OK) return;
  x.added = true;
  if (!closeAfterRequest) mayHoldConnection = true;
  current = &x;
  struct Detach {
    Impl& self;
    Exchange& x;
    ~Detach() {
      if (x.added) curl_multi_remove_handle(self.multi.get(), x.easy);
      x.added = false;
      self.current = nullptr;
    }
  } detach{*this, x};

  // A transfer left by an error still ends on the gauge: an unannounced
  // length must not leave it drawn as busy.
  TransferGauge gauge(
      host, uploadSize, [this] { Pump(); }, [this] { Abort(); });

  // Bytes moved so far, and when that count last changed; the idle limit
  // runs from the moment the connection stands.
  std::int64_t moved = -1;
  Clock::time_point lastMove;
  nextPump = Clock::now() + options.connectingPump;
  std::vector<SocketWait::Ready> ready;
  for (;;) {
    Drive(ready, x);
    ready.clear();
    Report(x, gauge, x.done);
    if (x.done || x.cut || x.error) break;

    // Checked only after libcurl has read what the socket holds, so a long
    // nested command in a pump does not count against a server that
    // answered meanwhile.
    if (x.connected) {
      curl_off_t sent = 0;
      curl_easy_getinfo(x.easy, CURLINFO_SIZE_UPLOAD_T, &sent);
      const std::int64_t now = x.headerBytes + x.received + static_cast<std::int64_t>(sent);
      if (now != moved) {
        moved = now;
        lastMove = Clock::now();
      } else if (Clock::now() - lastMove >= options.idleTimeout) {
        TimeOut(x);
        break;
      }
    }
    if (Clock::now() >= deadline) {
      TimeOut(x);
      break;
    }

    if (Clock::now() >= nextPump) {
      Pump();
      // A request that began with the flag already set (the window was
      // closed under an earlier one) gets no progress event from a silent
      // server to be cut at; it must not wait for that server forever.
      if (host.AbortRequested()) Cut();
      if (x.cut) break;
    }
    // The wait ends as soon as a socket is ready, so data is handled as it
    // arrives; a host's wait also handles its events as they come. The time
    // only bounds the gap between two pumps, libcurl's own time-outs and
    // the limits.
    Clock::time_point wakeAt = std::min(nextPump, deadline);
    if (moved >= 0) wakeAt = std::min(wakeAt, lastMove + options.idleTimeout);
    if (curlTimerSet) wakeAt = std::min(wakeAt, curlTimer);
    const auto left = std::chrono::ceil<milliseconds>(wakeAt - Clock::now());
    if (left > milliseconds(0)) wait->Wait(left, ready);
  }
  Report(x, gauge, true);
}

CurlEasy HttpClient::Impl::Prepare(Exchange& x, Method method, const std::string& url,
                                   const std::string* contentType, const std::string* body,
                                   CurlSlist& headers) {
  CurlEasy easy(curl_easy_init());
  if (!easy || !share) return {};
  CURL* h = easy.get();
  const std::string sent = WithoutFragment(url);
  const std::string target = RequestTarget(url);

  // The header list replaces libcurl's own Accept and suppresses Expect;
  // Host, User-Agent, Cookie and (on a POST) Content-Length come from
  // libcurl, so the order is: Host, User-Agent, Cookie, Accept,
  // Content-Type[, Connection, Content-Length].
  const std::string type = "Content-Type: " + (method == Method::kGet ? "text/html" : *contentType);
  std::vector<std::string> lines = {"Accept: text/html, */*", type};
  if (method == Method::kPost) lines.emplace_back("Connection: keep-alive");
  lines.emplace_back("Expect:");
  for (const auto& line : lines) {
    curl_slist* grown = curl_slist_append(headers.get(), line.c_str());
    if (grown == nullptr) return {};
    static_cast<void>(headers.release());
    headers.reset(grown);
  }

  bool ok = true;
  const auto set = [&](CURLoption option, auto value) {
    ok = ok && curl_easy_setopt(h, option, value) == CURLE_OK;
  };
  set(CURLOPT_URL, sent.c_str());
  // The path and query go out byte for byte as written; libcurl would
  // otherwise percent-encode high bytes of the path.
  set(CURLOPT_REQUEST_TARGET, target.c_str());
  set(CURLOPT_PATH_AS_IS, 1L);
  set(CURLOPT_PROTOCOLS_STR, "http,https");
  set(CURLOPT_PROXY, "");  // no proxy, whatever the environment says
  set(CURLOPT_NOSIGNAL, 1L);
  set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connectTimeout.count()));
  set(CURLOPT_FOLLOWLOCATION, 0L);
  if (closeAfterRequest) set(CURLOPT_FORBID_REUSE, 1L);
  set(CURLOPT_SHARE, share.get());
  set(CURLOPT_COOKIEFILE, "");  // cookie engine on, nothing read from disk
  set(CURLOPT_USERAGENT, kUserAgent);
  set(CURLOPT_HTTPHEADER, headers.get());
  set(CURLOPT_BUFFERSIZE, kReceiveBuffer);
  set(CURLOPT_ERRORBUFFER, x.curlError);
  // Always verified, against the system's store (and a test's own
  // authority): the certificate's chain and the host's name.
  set(CURLOPT_SSL_VERIFYPEER, 1L);
  set(CURLOPT_SSL_VERIFYHOST, 2L);
  set(CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
  // The store is the system's bundle file alone (the same certificates as
  // its folder): libcurl then parses it once and keeps it for the next
  // connections instead of reading it for every page. A test's own
  // authority takes its place.
  set(CURLOPT_CAPATH, static_cast<const char*>(nullptr));
  if (!options.testAuthority.empty()) set(CURLOPT_CAINFO, options.testAuthority.c_str());
  if (connectTo) set(CURLOPT_CONNECT_TO, connectTo.get());
  // HTTP/1.1 (HTTP/1.0 for a POST) inside TLS too: no HTTP/2 is offered.
  if (method == Method::kGet) {
    set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    set(CURLOPT_HTTPGET, 1L);
  } else {
    set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    set(CURLOPT_POST, 1L);
    set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body->size()));
    set(CURLOPT_POSTFIELDS, body->data());
  }
  set(CURLOPT_HEADERFUNCTION, &OnHeader);
  set(CURLOPT_HEADERDATA, static_cast<void*>(&x));
  set(CURLOPT_WRITEFUNCTION, &OnBody);
  set(CURLOPT_WRITEDATA, static_cast<void*>(&x));
  set(CURLOPT_PREREQFUNCTION, &OnConnected);
  set(CURLOPT_PREREQDATA, static_cast<void*>(&x));
  if (!ok) return {};
  x.easy = h;
  x.maxBody = options.maxBodyBytes;
  return easy;
}

// libcurl's engine keeps Set-Cookie; Set-Cookie2 is stored here, with the
// host and path of the request it answered.
void HttpClient::Impl::StoreCookie2(const Exchange& x, const std::string& url) {
  if (x.head.cookie2.empty()) return;
  const CurlUrl parsed(curl_url());
  if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, WithoutFragment(url).c_str(),
                              CURLU_PATH_AS_IS) != CURLUE_OK)
    return;
  const std::string hostName = UrlPart(parsed.get(), CURLUPART_HOST);
  const std::string path = UrlPart(parsed.get(), CURLUPART_PATH);
  const auto now = static_cast<std::int64_t>(std::time(nullptr));
  for (const auto& value : x.head.cookie2)
    for (const auto& line : SetCookie2Lines(value, hostName, path, now))
      curl_easy_setopt(x.easy, CURLOPT_COOKIELIST, line.c_str());
}

// Test programs reach only this machine: a loopback name, or a host and
// port that Options::connectTo leads to 127.0.0.1 (no name is looked up
// for those).
bool HttpClient::Impl::Reachable(const Origin& origin) const {
  if (IsReservedInvalidHost(origin.host)) return false;
  if (!LoopbackOnly() || IsLoopbackHost(origin.host)) return true;
  return std::any_of(options.connectTo.begin(), options.connectTo.end(), [&](const auto& route) {
    return std::to_string(route.port) == origin.port &&
           (route.host.empty() || EqualsNoCase(route.host, origin.host));
  });
}

void HttpClient::Impl::RefuseForSecurity(std::string text) {
  securityFailure = std::move(text);
  host.ShowMainStatus(securityFailure);
}

bool HttpClient::Impl::Run(Method method, const std::string& url, const std::string* contentType,
                           const std::string* body, const Sink& sink) {
  busy = true;
  cancelled = false;
  dropConnections = false;
  securityFailure.clear();
  struct Finish {
    Impl& self;
    int errorsBefore = std::uncaught_exceptions();
    ~Finish() {
      // A request left by an error may have finished its transfer and
      // kept the connection: it goes, like after a cut.
      if (self.dropConnections || std::uncaught_exceptions() > errorsBefore) self.DropConnections();
      self.busy = false;
      try {
        self.host.RequestRunning(false);
      } catch (...) {  // only enables the window's commands again
      }
    }
  } finish{*this};
  // Asked for here, not in the constructor: the host may be a window that
  // is still being built when it makes its client.
  if (!wait) {
    wait = host.NewSocketWait();
    if (!wait) wait = std::make_unique<PollWait>();
    for (const auto& [fd, events] : watched) wait->Watch(fd, events);
  }
  host.RequestRunning(true);

  const Clock::time_point deadline = Clock::now() + options.totalLimit;
  std::int64_t uploadSize = method == Method::kPost ? static_cast<std::int64_t>(body->size()) : 0;
  std::string hopUrl = url;
  for (int number = 1;; ++number) {
    const Origin origin = OriginOf(hopUrl);
    if (!origin.valid || !Reachable(origin)) return false;
    Exchange x;
    x.number = number;
    x.sink = &sink;
    CurlSlist headers;
    const CurlEasy easy = Prepare(x, method, hopUrl, contentType, body, headers);
    // Disconnect() from RequestRunning(true) cuts the request before it
    // goes out.
    if (!easy || cancelled) return false;
    Transfer(x, uploadSize, deadline);
    StoreCookie2(x, hopUrl);
    if (x.error) std::rethrow_exception(x.error);

    if (origin.Secure() && x.done && x.result != CURLE_OK) {
      long verifyResult = 0;
      curl_easy_getinfo(x.easy, CURLINFO_SSL_VERIFYRESULT, &verifyResult);
      if (std::string text = TlsFailureText(origin.host, x.result, verifyResult, x.curlError);
          !text.empty()) {
        RefuseForSecurity(std::move(text));
        return false;
      }
    }
    // A cut ends a body that only the server's close would end like that
    // close only when the abort flag asked for it (Stop, closing the
    // window); a request cut for another reason, or given up as idle, fails.
    const bool complete = x.timedOut ? false
                          : x.cut    ? x.CutAtUntilCloseBody() && host.AbortRequested()
                                     : x.done && x.result == CURLE_OK && !x.sinkRefused;
    if (!complete || !x.head.headersDone || x.tooLarge) return false;
    if (x.Final()) return true;
    // A chain still redirecting at the last request (a loop among them)
    // has not led to a page: it fails.
    if (!x.Redirect() || !x.head.hasLocation || cancelled || number == kMaxRequests) return false;
    char* next = nullptr;
    if (curl_easy_getinfo(easy.get(), CURLINFO_REDIRECT_URL, &next) != CURLE_OK || next == nullptr)
      return false;
    const std::string nextUrl = next;
    const Origin nextOrigin = OriginOf(nextUrl);
    if (origin.Secure() && nextOrigin.valid && !nextOrigin.Secure()) {
      RefuseForSecurity(DowngradeRefusedText(origin.Text(), nextOrigin.Text()));
      return false;
    }
    if (method == Method::kPost) {
      if (x.head.status == 307 || x.head.status == 308) {
        // The same POST again, but its body goes nowhere it was not meant for.
        if (!(nextOrigin == origin)) return false;
      } else {
        // As browsers do: the redirect is followed as a GET, without the body.
        method = Method::kGet;
        uploadSize = 0;
      }
    }
    hopUrl = nextUrl;
  }
}

HttpClient::HttpClient(FetchHost& host) : HttpClient(host, Options{}) {}

HttpClient::HttpClient(FetchHost& host, Options options)
    : host_(host), impl_(std::make_unique<Impl>(host, options)) {}

HttpClient::~HttpClient() = default;

bool HttpClient::Get(const std::string& url, const Sink& sink, After after) {
  if (impl_->busy) return false;
  impl_->closeAfterRequest = after == After::kClose;
  return impl_->Run(Method::kGet, url, nullptr, nullptr, sink);
}

bool HttpClient::Post(const std::string& url, const std::string& contentType,
                      const std::string& body, std::string& reply) {
  reply.clear();
  if (impl_->busy) return false;
  impl_->DropConnections();
  impl_->closeAfterRequest = false;
  const Sink collect = [&reply](std::string_view piece) {
    reply.append(piece);
    return true;
  };
  const bool ok = impl_->Run(Method::kPost, url, &contentType, &body, collect);
  if (!ok) reply.clear();
  return ok;
}

void HttpClient::Disconnect() noexcept {
  if (impl_->busy) {
    impl_->Cut();
  } else {
    impl_->DropConnections();
  }
}

bool HttpClient::Busy() const {
  return impl_->busy;
}

const std::string& HttpClient::SecurityFailure() const {
  return impl_->securityFailure;
}

const std::string& HttpClient::TestAuthority() const {
  return impl_->options.testAuthority;
}

}  // namespace quorvane
