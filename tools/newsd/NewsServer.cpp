#include "newsd/NewsServer.h"

#include <fcntl.h>
#include <httplib.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>

#include "newsd/NewsAnswer.h"

namespace quorvane::newsd {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Connections waiting to be accepted; the library's own backlog is five.
constexpr int kListenBacklog = 128;
constexpr std::size_t kChunk = 64 * 1024;
// Quiet time after a change before the folder is scanned: an editor
// writes a file in several steps.
constexpr auto kSettleTime = std::chrono::milliseconds(150);

// What the handlers tell the log about the request on this thread, and
// the multipart Content-Type, taken away before the library reads the body
// (it would parse the form itself and keep no raw body for ours).
struct RequestNotes {
  Clock::time_point start;
  std::string contentType;
  std::string outcome;
};
thread_local RequestNotes tNotes;

std::string Printable(std::string_view text, std::size_t limit) {
  std::string out;
  for (const char c : text.substr(0, limit)) {
    const auto byte = static_cast<unsigned char>(c);
    out += byte < 0x20 || byte == 0x7F ? '?' : c;
  }
  if (text.size() > limit) out += "...";
  return out;
}

bool IsDescriptorPath(std::string_view path, std::string& name) {
  constexpr std::string_view prefix = "/liveupdate/";
  if (!path.starts_with(prefix)) return false;
  path.remove_prefix(prefix.size());
  const auto slash = path.find('/');
  if (slash == std::string_view::npos || path.substr(slash + 1) != kDescriptorName) return false;
  name = std::string(path.substr(0, slash));
  return true;
}

// An open release file, closed when the last response using it is gone.
class OpenFile {
 public:
  explicit OpenFile(const fs::path& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~OpenFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  int Fd() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

struct NewsServer::Impl {
  ServiceConfig config;
  LogSink log;
  httplib::Server http;
  int listenSocket = -1;

  mutable std::mutex contentMutex;
  std::shared_ptr<const ContentSnapshot> content;
  std::mutex reloadMutex;
  std::string fingerprint;

  std::thread serving;
  std::thread watching;
  int wakePipe[2] = {-1, -1};
  std::atomic<bool> stopping{false};
  std::once_flag stopOnce;

  Impl(ServiceConfig c, LogSink l) : config(std::move(c)), log(std::move(l)) {}

  void Log(const std::string& line) const {
    if (log) log(line);
  }

  std::shared_ptr<const ContentSnapshot> Content() const {
    std::lock_guard lock(contentMutex);
    return content;
  }

  bool Reload(bool force) {
    std::lock_guard lock(reloadMutex);
    std::string print = ContentFingerprint(config.folder);
    if (!force && content != nullptr && print == fingerprint) return false;
    auto fresh = std::make_shared<const ContentSnapshot>(LoadContent(config.folder));
    fingerprint = std::move(print);
    {
      std::lock_guard swap(contentMutex);
      content = fresh;
    }
    const NewsSet& news = fresh->news;
    Log("content: " + std::to_string(news.Size()) + " news items" +
        (news.NewestId().empty() ? "" : " (newest " + news.NewestId() + ")") + ", " +
        std::to_string(fresh->descriptors.size()) + " update descriptors");
    for (const ContentProblem& problem : fresh->problems) {
      Log("content: " + Printable(problem.file, 200) + ": " + problem.message);
    }
    return true;
  }

  void Configure();
  void AnswerScript(NewsScript script, const httplib::Request& req, httplib::Response& res);
  void AnswerUpdate(const httplib::Request& req, httplib::Response& res);
  void LogRequest(const httplib::Request& req, const httplib::Response& res);
  void Watch();
};

void NewsServer::Impl::Configure() {
  http.new_task_queue = [threads = config.threads] {
    return new httplib::ThreadPool(static_cast<std::size_t>(threads));
  };
  http.set_socket_options([this](socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    listenSocket = sock;
  });
  http.set_payload_max_length(config.maxRequestBytes);
  http.set_read_timeout(10);
  http.set_write_timeout(30);
  http.set_keep_alive_timeout(5);
  http.set_keep_alive_max_count(100);

  http.set_pre_routing_handler([](const httplib::Request& req, httplib::Response&) {
    tNotes = RequestNotes{Clock::now(), {}, {}};
    if (req.method == "POST") {
      auto& request = const_cast<httplib::Request&>(req);  // the library's own, passed as const
      tNotes.contentType = request.get_header_value("Content-Type");
      request.headers.erase("Content-Type");
    }
    return httplib::Server::HandlerResponse::Unhandled;
  });
  http.Post(R"(.*/getlastnews\.php)", [this](const httplib::Request& req, httplib::Response& res) {
    AnswerScript(NewsScript::List, req, res);
  });
  http.Post(R"(.*/getnewsdetails\.php)",
            [this](const httplib::Request& req, httplib::Response& res) {
              AnswerScript(NewsScript::Details, req, res);
            });
  http.Get(R"(.*/get(lastnews|newsdetails)\.php)",
           [](const httplib::Request&, httplib::Response& res) {
             res.status = 405;
             res.set_header("Allow", "POST");
             res.set_content("Only POST requests are answered here.\n", "text/plain");
             tNotes.outcome = "not a POST";
           });
  http.Get(R"(/liveupdate/.*)",
           [this](const httplib::Request& req, httplib::Response& res) { AnswerUpdate(req, res); });
  http.set_error_handler([](const httplib::Request&, httplib::Response& res) {
    if (res.body.empty() && res.content_length_ == 0) {
      res.set_content(std::to_string(res.status) + "\n", "text/plain");
    }
  });
  http.set_logger([this](const httplib::Request& req, const httplib::Response& res) {
    if (config.logRequests) LogRequest(req, res);
    tNotes = RequestNotes{};
  });
}

void NewsServer::Impl::AnswerScript(NewsScript script, const httplib::Request& req,
                                    httplib::Response& res) {
  const auto snapshot = Content();
  NewsAnswer answer =
      AnswerNewsRequest(script, tNotes.contentType, req.body, *snapshot, config.access);
  res.status = answer.status;
  res.set_header("Cache-Control", "no-store");
  res.set_content(std::move(answer.body), "text/plain");
  tNotes.outcome = std::move(answer.outcome);
}

void NewsServer::Impl::AnswerUpdate(const httplib::Request& req, httplib::Response& res) {
  std::string name;
  if (IsDescriptorPath(req.path, name)) {
    const auto snapshot = Content();
    const auto it = snapshot->descriptors.find(name);
    if (it != snapshot->descriptors.end()) {
      res.set_header("Cache-Control", "no-cache");
      res.set_content(it->second, "text/plain");
      tNotes.outcome = "descriptor";
      return;
    }
  }
  const auto path = UpdateFile(config.folder, req.path);
  auto file = path ? std::make_shared<OpenFile>(*path) : nullptr;
  struct stat info {};
  if (file == nullptr || file->Fd() < 0 || ::fstat(file->Fd(), &info) != 0 ||
      !S_ISREG(info.st_mode)) {
    res.status = 404;
    tNotes.outcome = "no such release file";
    return;
  }
  const auto size = static_cast<std::size_t>(info.st_size);
  res.set_content_provider(
      size, "application/octet-stream",
      [file, size](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
        char buffer[kChunk];
        const std::size_t wanted = std::min({length, kChunk, size - std::min(offset, size)});
        const ssize_t n = ::pread(file->Fd(), buffer, wanted, static_cast<off_t>(offset));
        if (n <= 0) return false;  // the file shrank under us: end the response
        return sink.write(buffer, static_cast<std::size_t>(n));
      });
  tNotes.outcome = "release file, " + std::to_string(size) + " bytes";
}

void NewsServer::Impl::LogRequest(const httplib::Request& req, const httplib::Response& res) {
  std::string line =
      Printable(req.method, 10) + " " + Printable(req.path, 200) + " " + std::to_string(res.status);
  if (!tNotes.outcome.empty()) line.append(1, ' ').append(tNotes.outcome);
  if (tNotes.start != Clock::time_point{}) {
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - tNotes.start);
    line.append(1, ' ').append(std::to_string(ms.count())).append("ms");
  }
  Log(line);
}

// Waits for changes in the folder and scans it again; the scan compares
// fingerprints, so a change it cannot see costs nothing.
void NewsServer::Impl::Watch() {
  const int notify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  const auto watchFolders = [&] {
    if (notify < 0) return;
    constexpr std::uint32_t kEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                      IN_CLOSE_WRITE | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;
    inotify_add_watch(notify, config.folder.c_str(), kEvents);
    inotify_add_watch(notify, (config.folder / "news").c_str(), kEvents);
    inotify_add_watch(notify, (config.folder / "liveupdate").c_str(), kEvents);
    std::error_code ec;
    for (fs::directory_iterator it(config.folder / "liveupdate", ec);
         !ec && it != fs::directory_iterator(); it.increment(ec)) {
      if (it->is_directory(ec)) inotify_add_watch(notify, it->path().c_str(), kEvents);
    }
  };
  const auto drain = [&] {
    char events[4096];
    while (notify >= 0 && ::read(notify, events, sizeof events) > 0) {
    }
  };
  watchFolders();
  while (!stopping) {
    pollfd fds[2] = {{wakePipe[0], POLLIN, 0}, {notify, POLLIN, 0}};
    const int ready = ::poll(fds, notify >= 0 ? 2 : 1, config.rescanSeconds * 1000);
    if (stopping) break;
    if (ready > 0 && (fds[1].revents & POLLIN) != 0) {
      // Let a burst of changes settle before scanning.
      do {
        drain();
      } while (!stopping && ::poll(&fds[1], 1, static_cast<int>(kSettleTime.count())) > 0);
    }
    if (stopping) break;
    try {
      if (Reload(false)) watchFolders();
    } catch (const std::exception& e) {
      Log(std::string("content: scan failed: ") + e.what());
    }
  }
  if (notify >= 0) ::close(notify);
}

NewsServer::NewsServer(ServiceConfig config, LogSink log)
    : impl_(std::make_unique<Impl>(std::move(config), std::move(log))) {
  if (::pipe2(impl_->wakePipe, O_CLOEXEC) != 0) throw std::runtime_error("cannot make a pipe");
  impl_->Configure();
}

NewsServer::~NewsServer() {
  Stop();
  if (impl_->watching.joinable()) impl_->watching.join();  // started after a Stop() raced it
  for (int fd : impl_->wakePipe) {
    if (fd >= 0) ::close(fd);
  }
}

int NewsServer::Bind() {
  Reload(true);
  const ServiceConfig& c = impl_->config;
  int port = c.port;
  if (port == 0) {
    port = impl_->http.bind_to_any_port(c.host);
    if (port <= 0) throw std::runtime_error("cannot listen on " + c.host + " (any port)");
  } else if (!impl_->http.bind_to_port(c.host, port)) {
    throw std::runtime_error("cannot listen on " + c.host + ":" + std::to_string(port));
  }
  if (impl_->listenSocket >= 0) ::listen(impl_->listenSocket, kListenBacklog);
  impl_->Log("listening on " + c.host + ":" + std::to_string(port) + ", serving " +
             c.folder.string());
  return port;
}

bool NewsServer::Serve() {
  if (impl_->stopping) return false;
  impl_->watching = std::thread([this] { impl_->Watch(); });
  return impl_->http.listen_after_bind();
}

int NewsServer::Start() {
  const int port = Bind();
  impl_->serving = std::thread([this] { Serve(); });
  // Bound: a server that failed to start must not hang its caller.
  for (int i = 0; i < 500 && !impl_->http.is_running(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return port;
}

void NewsServer::Stop() {
  std::call_once(impl_->stopOnce, [this] {
    impl_->stopping = true;
    const char wake = 1;
    if (impl_->wakePipe[1] >= 0 && ::write(impl_->wakePipe[1], &wake, 1) != 1) {
      // The watcher still sees `stopping` at its next scan.
    }
    impl_->http.stop();
    if (impl_->serving.joinable()) impl_->serving.join();
    if (impl_->watching.joinable()) impl_->watching.join();
  });
}

bool NewsServer::Reload(bool force) {
  return impl_->Reload(force);
}

std::shared_ptr<const ContentSnapshot> NewsServer::Content() const {
  return impl_->Content();
}

}  // namespace quorvane::newsd
