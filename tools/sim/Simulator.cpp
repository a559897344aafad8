#include "sim/Simulator.h"

#include <httplib.h>
#include <sys/socket.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>

#include "sim/FaultRoutes.h"
#include "sim/HelpText.h"
#include "sim/HoldGate.h"
#include "sim/MultipartParser.h"
#include "sim/NewsRoutes.h"
#include "sim/PacedResponse.h"
#include "sim/RawQuery.h"
#include "sim/SearchPages.h"
#include "sim/SecurityImage.h"
#include "sim/SimText.h"
#include "sim/SuggestionPages.h"
#include "sim/UpdateDescriptor.h"

namespace quorvane::sim {

namespace {

constexpr const char* kHost = "127.0.0.1";
constexpr const char* kHtml = "text/html";

// The headers of the request being routed on this thread, as received.
// The pre-routing hook takes them before it hides two of them from the
// HTTP library (see Configure), and the handler logs this copy.
struct HeaderSnapshot {
  const httplib::Request* request = nullptr;
  httplib::Headers headers;
};
thread_local HeaderSnapshot tSnapshot;

// The library adds the peer's and its own address as pseudo headers after
// the received ones; they were not sent, so the log drops them.
httplib::Headers ReceivedHeaders(const httplib::Headers& all) {
  httplib::Headers headers = all;
  for (const char* pseudo : {"REMOTE_ADDR", "REMOTE_PORT", "LOCAL_ADDR", "LOCAL_PORT"}) {
    auto [first, last] = headers.equal_range(pseudo);
    if (first != last) headers.erase(std::prev(last));
  }
  return headers;
}

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

bool StartsWith(std::string_view text, std::string_view head) {
  return text.substr(0, head.size()) == head;
}

SimService Classify(std::string_view path, const RawQuery& query) {
  if (path == "/") return SimService::kSuggest;
  if (path == "/keyword-suggestion-tool.html") return SimService::kSecurityImageAnswer;
  if (path == "/captcha.png") return SimService::kSecurityImage;
  if (path == "/search") {
    return query.Has("q") || !query.Has("p") ? SimService::kGoogle : SimService::kYahoo;
  }
  if (path == "/results.aspx") return SimService::kMsn;
  if (EndsWith(path, "/getlastnews.php")) return SimService::kNewsList;
  if (EndsWith(path, "/getnewsdetails.php")) return SimService::kNewsDetails;
  if (StartsWith(path, "/liveupdate/")) return SimService::kUpdate;
  if (StartsWith(path, "/fault/")) return SimService::kFault;
  if (path == "/sim" || path == "/sim/") return SimService::kInfo;
  return SimService::kUnknown;
}

std::string ReasonPhrase(int status) {
  switch (status) {
    case 400:
      return "Bad Request";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 405:
      return "Method Not Allowed";
    case 500:
      return "Internal Server Error";
    case 502:
      return "Bad Gateway";
    case 503:
      return "Service Unavailable";
    default:
      return "Error";
  }
}

std::string ErrorPage(int status) {
  const std::string title = std::to_string(status) + " " + ReasonPhrase(status);
  return "<html><head><title>" + title + "</title></head>\n<body>\n<h1>" + title +
         "</h1>\n<p>The server could not answer this request.</p>\n</body></html>\n";
}

struct SecurityImageState {
  int suggestRequests = 0;
  int challenges = 0;
  std::string latestRandom;
  bool solved = false;
};

}  // namespace

struct Simulator::Impl {
  mutable std::mutex mutex;  // scenario, security-image state, log, observer
  mutable std::condition_variable logChanged;
  Scenario scenario;
  SecurityImageState securityImageState;
  std::vector<SimRequest> log;
  std::function<void(const SimRequest&)> observer;

  std::mutex lifecycle;  // server, listener
  std::unique_ptr<httplib::Server> server;
  std::thread listener;
  std::atomic<int> port{0};
  std::atomic<bool> secure{false};
  HoldGate gate;

  void Configure(httplib::Server& srv);
  void Handle(const httplib::Request& req, httplib::Response& res);
  SimRequest Record(const httplib::Request& req, SimService service);
  void Suggest(const RawQuery& query, std::uint64_t ticket, httplib::Response& res);
  void SecurityImageAnswer(const RawQuery& query, std::uint64_t ticket, httplib::Response& res);
  std::string NewChallenge(const RawQuery& query);
  void Search(Engine engine, const RawQuery& query, std::uint64_t ticket, httplib::Response& res);
  void Update(std::string_view path, std::uint64_t ticket, httplib::Response& res);
  std::string Base() const {
    return (secure ? "https://" : "http://") + std::string(kHost) + ":" + std::to_string(port);
  }
  int Start(int port, std::unique_ptr<httplib::Server> server, bool tls);
  Scenario Snapshot() const {
    std::lock_guard lock(mutex);
    return scenario;
  }
};

void Simulator::Impl::Configure(httplib::Server& srv) {
  // Enough workers for a few held responses next to ordinary traffic.
  srv.new_task_queue = [] { return new httplib::ThreadPool(24); };
  // A plain SO_REUSEADDR: the library's default SO_REUSEPORT would let a
  // second simulator share a fixed port silently.
  srv.set_socket_options([](socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
  });
  srv.set_keep_alive_timeout(1);
  // A response goes out in several writes (over https, several TLS
  // records): without this, the last one waits for the client's delayed
  // acknowledgement, some 40 ms per page on a connection kept open.
  srv.set_tcp_nodelay(true);
  srv.set_pre_routing_handler([](const httplib::Request& req, httplib::Response&) {
    tSnapshot.request = &req;
    tSnapshot.headers = ReceivedHeaders(req.headers);
    // The request object is the library's own mutable one, passed as const.
    // Without Content-Type the library leaves a multipart body whole in
    // req.body for our own parser; without Accept-Encoding it never
    // compresses, so every client gets the same bytes.
    auto& mutableReq = const_cast<httplib::Request&>(req);
    mutableReq.headers.erase("Content-Type");
    mutableReq.headers.erase("Accept-Encoding");
    return httplib::Server::HandlerResponse::Unhandled;
  });
  srv.set_post_routing_handler([](const httplib::Request&, httplib::Response& res) {
    if (res.get_header_value("Connection") == "close") res.headers.erase("Keep-Alive");
  });
  const auto handler = [this](const httplib::Request& req, httplib::Response& res) {
    Handle(req, res);
  };
  srv.Get(".*", handler);
  srv.Post(".*", handler);
  srv.Put(".*", handler);
  srv.Patch(".*", handler);
  srv.Delete(".*", handler);
  srv.Options(".*", handler);
}

SimRequest Simulator::Impl::Record(const httplib::Request& req, SimService service) {
  SimRequest r;
  r.service = service;
  r.method = req.method;
  r.target = req.target;
  r.path = req.path;
  r.version = req.version;
  const httplib::Headers headers =
      tSnapshot.request == &req ? std::move(tSnapshot.headers) : ReceivedHeaders(req.headers);
  tSnapshot.request = nullptr;
  r.headers.assign(headers.begin(), headers.end());
  r.body = req.body;
  if (auto boundary = MultipartBoundary(r.Header("Content-Type"))) {
    r.multipart = true;
    MultipartResult parsed = ParseMultipart(r.body, *boundary);
    r.multipartValid = parsed.ok;
    if (parsed.ok) {
      r.fields = std::move(parsed.fields);
    } else {
      r.multipartError = parsed.error;
    }
  }
  std::function<void(const SimRequest&)> notify;
  {
    std::lock_guard lock(mutex);
    log.push_back(r);
    notify = observer;
  }
  logChanged.notify_all();
  if (notify) notify(r);
  return r;
}

void Simulator::Impl::Handle(const httplib::Request& req, httplib::Response& res) {
  // Taken before the request is logged, so a release that follows a
  // test's wait for the log always reaches this response.
  const std::uint64_t ticket = gate.Ticket();
  const RawQuery query(req.target);
  const SimService service = Classify(req.path, query);
  const SimRequest request = Record(req, service);
  const bool get = req.method == "GET" || req.method == "HEAD";
  if (!get && service != SimService::kNewsList && service != SimService::kNewsDetails &&
      service != SimService::kFault && service != SimService::kUnknown) {
    res.status = 405;
    res.set_header("Allow", "GET, HEAD");
    res.set_content(ErrorPage(405), kHtml);
    return;
  }
  switch (service) {
    case SimService::kSuggest:
      Suggest(query, ticket, res);
      return;
    case SimService::kSecurityImageAnswer:
      SecurityImageAnswer(query, ticket, res);
      return;
    case SimService::kSecurityImage: {
      const std::string answer = Snapshot().suggest.securityImageAnswer;
      res.set_content(SecurityImage::Png(answer, query.Raw("random")), "image/png");
      return;
    }
    case SimService::kGoogle:
      Search(Engine::kGoogle, query, ticket, res);
      return;
    case SimService::kYahoo:
      Search(Engine::kYahoo, query, ticket, res);
      return;
    case SimService::kMsn:
      Search(Engine::kMsn, query, ticket, res);
      return;
    case SimService::kNewsList:
    case SimService::kNewsDetails: {
      const NewsScenario news = Snapshot().news;
      NewsRoutes::Reply reply = NewsRoutes::Answer(request, news);
      SendPaced(res, reply.status, std::move(reply.body), reply.contentType, news.pace, gate,
                ticket);
      return;
    }
    case SimService::kUpdate:
      Update(req.path, ticket, res);
      return;
    case SimService::kFault:
      AnswerFault(req.path, query, Base(), gate, ticket, res);
      return;
    case SimService::kInfo:
      res.set_content(EndpointsText(Base()), "text/plain");
      return;
    case SimService::kUnknown:
      break;
  }
  res.status = 404;
  res.set_content(ErrorPage(404), kHtml);
}

std::string Simulator::Impl::NewChallenge(const RawQuery& query) {
  std::string random;
  {
    std::lock_guard lock(mutex);
    random = ChallengeRandom(++securityImageState.challenges);
    securityImageState.latestRandom = random;
  }
  return ChallengePage(query.Raw("seed"), random,
                       Base() + "/captcha.png?random=" + random + "&x=1");
}

void Simulator::Impl::Suggest(const RawQuery& query, std::uint64_t ticket, httplib::Response& res) {
  const SuggestScenario sc = Snapshot().suggest;
  if (sc.status != 200) {
    SendPaced(res, sc.status, ErrorPage(sc.status), kHtml, sc.pace, gate, ticket);
    return;
  }
  if (!query.Has("seed")) {
    SendPaced(res, 200, SuggestionStartPage(), kHtml, sc.pace, gate, ticket);
    return;
  }
  bool challenge = false;
  {
    std::lock_guard lock(mutex);
    const int n = ++securityImageState.suggestRequests;
    switch (sc.securityImage) {
      case SecurityImageMode::kOff:
        break;
      case SecurityImageMode::kFirst:
        challenge = n <= sc.securityImageCount;
        break;
      case SecurityImageMode::kAlways:
        challenge = true;
        break;
      case SecurityImageMode::kUntilSolved:
        challenge = !securityImageState.solved;
        break;
    }
  }
  std::string page = challenge ? NewChallenge(query) : SuggestionPage(query.Value("seed"), sc);
  SendPaced(res, 200, std::move(page), kHtml, sc.pace, gate, ticket);
}

void Simulator::Impl::SecurityImageAnswer(const RawQuery& query, std::uint64_t ticket,
                                          httplib::Response& res) {
  const SuggestScenario sc = Snapshot().suggest;
  if (sc.status != 200) {
    SendPaced(res, sc.status, ErrorPage(sc.status), kHtml, sc.pace, gate, ticket);
    return;
  }
  bool right = false;
  {
    std::lock_guard lock(mutex);
    // Only the newest challenge counts, as on a service that keeps one
    // pending challenge per visitor.
    right = !securityImageState.latestRandom.empty() &&
            query.Raw("random") == securityImageState.latestRandom && query.Has("password") &&
            query.Value("password") == sc.securityImageAnswer;
    if (right) securityImageState.solved = true;
  }
  std::string page = right ? SuggestionPage(query.Value("seed"), sc) : NewChallenge(query);
  SendPaced(res, 200, std::move(page), kHtml, sc.pace, gate, ticket);
}

void Simulator::Impl::Search(Engine engine, const RawQuery& query, std::uint64_t ticket,
                             httplib::Response& res) {
  const SearchScenario sc = Snapshot().search;
  const EngineScenario& es = engine == Engine::kGoogle  ? sc.google
                             : engine == Engine::kYahoo ? sc.yahoo
                                                        : sc.msn;
  if (es.mode == EngineMode::kFail) {
    SendPaced(res, es.status, ErrorPage(es.status), kHtml, es.pace, gate, ticket);
    return;
  }
  const char* key = engine == Engine::kYahoo ? "p" : "q";
  std::string page = query.Has(key) ? SearchPage(engine, query.Value(key), es.mode, sc.hugeTerm)
                                    : SearchStartPage(engine);
  SendPaced(res, 200, std::move(page), kHtml, es.pace, gate, ticket);
}

void Simulator::Impl::Update(std::string_view path, std::uint64_t ticket, httplib::Response& res) {
  const UpdateScenario sc = Snapshot().update;
  if (path != "/liveupdate/quorvane/mainappupdate.inf" || sc.missing) {
    SendPaced(res, 404, ErrorPage(404), kHtml, sc.pace, gate, ticket);
    return;
  }
  SendPaced(res, 200, UpdateDescriptor(sc), "text/plain", sc.pace, gate, ticket);
}

Simulator::Simulator(Scenario scenario) : impl_(std::make_unique<Impl>()) {
  impl_->scenario = std::move(scenario);
}

Simulator::~Simulator() {
  Stop();
}

int Simulator::Start(int port) {
  return impl_->Start(port, std::make_unique<httplib::Server>(), false);
}

int Simulator::Start(int port, const Tls& tls) {
  auto server = std::make_unique<httplib::SSLServer>(tls.certificate.c_str(), tls.key.c_str());
  if (!server->is_valid()) {
    throw std::runtime_error("cannot serve https with the certificate " + tls.certificate.string() +
                             " and the key " + tls.key.string());
  }
  return impl_->Start(port, std::move(server), true);
}

int Simulator::Impl::Start(int wanted, std::unique_ptr<httplib::Server> made, bool tls) {
  if (wanted < 0 || wanted > 65535) throw std::invalid_argument("port out of range");
  std::lock_guard lock(lifecycle);
  if (server) return port;
  Configure(*made);
  const int bound = wanted == 0 ? made->bind_to_any_port(kHost)
                                : (made->bind_to_port(kHost, wanted) ? wanted : -1);
  if (bound <= 0) {
    throw std::runtime_error("cannot listen on " + std::string(kHost) + ":" +
                             std::to_string(wanted) + " (is another program using that port?)");
  }
  gate.Open();
  secure = tls;
  port = bound;  // pages carry absolute addresses from the first request on
  auto ended = std::make_shared<std::atomic<bool>>(false);
  httplib::Server* srv = made.get();
  listener = std::thread([srv, ended] {
    srv->listen_after_bind();
    *ended = true;
  });
  while (!srv->is_running() && !*ended) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  if (!srv->is_running()) {
    listener.join();
    port = 0;
    throw std::runtime_error("the server on " + std::string(kHost) + ":" + std::to_string(bound) +
                             " ended at once");
  }
  server = std::move(made);
  return bound;
}

void Simulator::Stop() {
  std::lock_guard lock(impl_->lifecycle);
  if (!impl_->server) return;
  impl_->gate.Close();
  impl_->server->stop();
  impl_->listener.join();
  impl_->server.reset();
  impl_->port = 0;
}

bool Simulator::Running() const {
  return impl_->port != 0;
}

int Simulator::Port() const {
  return impl_->port;
}

std::string Simulator::BaseUrl() const {
  return Running() ? impl_->Base() : std::string{};
}

Scenario Simulator::GetScenario() const {
  return impl_->Snapshot();
}

void Simulator::SetScenario(Scenario scenario) {
  std::lock_guard lock(impl_->mutex);
  impl_->scenario = std::move(scenario);
  impl_->securityImageState = {};
}

void Simulator::ChangeScenario(const std::function<void(Scenario&)>& change) {
  std::lock_guard lock(impl_->mutex);
  change(impl_->scenario);
}

std::vector<SimRequest> Simulator::Requests() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->log;
}

std::vector<SimRequest> Simulator::Requests(SimService service) const {
  std::lock_guard lock(impl_->mutex);
  std::vector<SimRequest> out;
  for (const SimRequest& r : impl_->log) {
    if (r.service == service) out.push_back(r);
  }
  return out;
}

std::size_t Simulator::RequestCount() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->log.size();
}

void Simulator::ClearRequests() {
  std::lock_guard lock(impl_->mutex);
  impl_->log.clear();
}

bool Simulator::WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(impl_->mutex);
  return impl_->logChanged.wait_for(lock, timeout, [&] { return impl_->log.size() >= count; });
}

bool Simulator::WaitForRequests(SimService service, std::size_t count,
                                std::chrono::milliseconds timeout) const {
  std::unique_lock lock(impl_->mutex);
  return impl_->logChanged.wait_for(lock, timeout, [&] {
    std::size_t n = 0;
    for (const SimRequest& r : impl_->log) n += r.service == service ? 1 : 0;
    return n >= count;
  });
}

void Simulator::ReleaseHeld() {
  impl_->gate.Release();
}

void Simulator::SetRequestObserver(std::function<void(const SimRequest&)> observer) {
  std::lock_guard lock(impl_->mutex);
  impl_->observer = std::move(observer);
}

}  // namespace quorvane::sim
