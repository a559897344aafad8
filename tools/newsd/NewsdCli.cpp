#include "newsd/NewsdCli.h"

#include <pthread.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

#include "base/ProgramVersion.h"
#include "newsd/ContentFolder.h"
#include "newsd/NewsServer.h"
#include "newsd/ServiceConfig.h"

namespace quorvane::newsd {

namespace {

constexpr const char* kProgram = "quorvane-newsd";

void PrintHelp(std::ostream& out) {
  out << "Usage: " << kProgram << " [--config FILE] [--listen HOST:PORT] [--folder DIR] [--check]\n"
      << "       " << kProgram << " --help | --version\n\n"
      << "Serves a publisher's news and live-update files over HTTP: the news\n"
         "requests (getlastnews.php, getnewsdetails.php) from the news items in\n"
         "DIR/news/*.news, and DIR/liveupdate/NAME/... below /liveupdate/NAME/.\n\n"
         "  --config FILE       the configuration (default "
      << kDefaultConfig
      << ")\n"
         "  --listen HOST:PORT  listen there instead of the configuration's address\n"
         "  --folder DIR        serve DIR instead of the configuration's folder\n"
         "  --check             read the configuration and the folder, print what is\n"
         "                      wrong, and exit\n"
         "  --help, --version   print this text or the version\n\n"
         "SIGHUP scans the folder again at once; it is also scanned when it changes.\n"
         "SIGTERM and SIGINT end the service.\n\n"
         "Exit status: 0 done; 1 --check found problems in the folder; 2 the\n"
         "configuration is wrong; 3 the address cannot be listened on.\n";
}

// Log lines, whole, from any thread; a time stamp unless the journal adds one.
class LogWriter {
 public:
  explicit LogWriter(std::ostream& out)
      : out_(out), stamp_(std::getenv("JOURNAL_STREAM") == nullptr) {}
  void operator()(const std::string& line) {
    std::string text;
    if (stamp_) {
      const std::time_t now = std::time(nullptr);
      std::tm utc{};
      gmtime_r(&now, &utc);
      char when[32];
      std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%SZ ", &utc);
      text = when;
    }
    text += line + '\n';
    std::lock_guard lock(mutex_);
    out_ << text << std::flush;
  }

 private:
  std::ostream& out_;
  bool stamp_;
  std::mutex mutex_;
};

}  // namespace

int RunNewsd(const std::vector<std::string>& args, std::ostream& out, std::ostream& log) {
  std::string configFile = kDefaultConfig;
  std::string listen;
  std::string folder;
  bool check = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const auto value = [&](std::string& into) {
      if (i + 1 == args.size()) return false;
      into = args[++i];
      return true;
    };
    bool ok = true;
    if (arg == "--help" || arg == "-h") {
      PrintHelp(out);
      return kNewsdExitOk;
    } else if (arg == "--version") {
      out << kProgram << " " << ProgramVersion << '\n';
      return kNewsdExitOk;
    } else if (arg == "--config") {
      ok = value(configFile);
    } else if (arg == "--listen") {
      ok = value(listen);
    } else if (arg == "--folder") {
      ok = value(folder);
    } else if (arg == "--check") {
      check = true;
    } else {
      log << kProgram << ": unknown argument " << arg << " (see --help)\n";
      return kNewsdExitConfig;
    }
    if (!ok) {
      log << kProgram << ": " << arg << " needs a value (see --help)\n";
      return kNewsdExitConfig;
    }
  }

  std::ifstream in(configFile, std::ios::binary);
  if (!in) {
    log << kProgram << ": " << configFile << ": cannot be read\n";
    return kNewsdExitConfig;
  }
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ConfigParse parsed = ParseServiceConfig(text, configFile);
  if (parsed.config && !listen.empty() && !ParseListen(listen, *parsed.config)) {
    parsed.errors.push_back("--listen: must be host:port, e.g. 127.0.0.1:8080");
    parsed.config.reset();
  }
  if (!parsed.config) {
    for (const std::string& error : parsed.errors) log << kProgram << ": " << error << '\n';
    return kNewsdExitConfig;
  }
  ServiceConfig config = std::move(*parsed.config);
  if (!folder.empty()) config.folder = folder;

  if (check) {
    const ContentSnapshot content = LoadContent(config.folder);
    for (const ContentProblem& problem : content.problems) {
      out << (config.folder / problem.file).string() << ": " << problem.message << '\n';
    }
    out << config.folder.string() << ": " << content.news.Size() << " news items, "
        << content.descriptors.size() << " update descriptors\n";
    return content.problems.empty() ? kNewsdExitOk : kNewsdExitContent;
  }

  // The signals are taken by one thread that waits for them; every other
  // thread inherits the blocked mask.
  sigset_t signals;
  sigemptyset(&signals);
  for (const int s : {SIGHUP, SIGINT, SIGTERM}) sigaddset(&signals, s);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  LogWriter writer(log);
  NewsServer server(config, [&writer](const std::string& line) { writer(line); });
  try {
    server.Bind();
  } catch (const std::exception& e) {
    log << kProgram << ": " << e.what() << '\n';
    return kNewsdExitServe;
  }
  std::thread waiter([&] {
    for (;;) {
      int received = 0;
      if (sigwait(&signals, &received) != 0) continue;
      if (received == SIGHUP) {
        writer("SIGHUP: scanning the folder again");
        server.Reload(true);
        continue;
      }
      writer(std::string("stopping on ") + (received == SIGINT ? "SIGINT" : "SIGTERM"));
      server.Stop();
      return;
    }
  });
  const bool served = server.Serve();
  if (!served) {
    // Serving ended by itself: let the waiter go.
    pthread_kill(waiter.native_handle(), SIGTERM);
  }
  waiter.join();
  return served ? kNewsdExitOk : kNewsdExitServe;
}

}  // namespace quorvane::newsd
