#include "sim/SimCli.h"

#include <pthread.h>
#include <signal.h>

#include <charconv>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <optional>
#include <stdexcept>

#include "sim/HelpText.h"
#include "sim/ScenarioFile.h"
#include "sim/Simulator.h"

namespace quorvane::sim {

namespace {

constexpr int kExitRuntime = 1;
constexpr int kExitUsage = 2;

struct SimOptions {
  int port = Simulator::kDefaultPort;
  std::optional<std::filesystem::path> scenario;
  std::optional<std::filesystem::path> cert;
  std::optional<std::filesystem::path> key;
  bool check = false;
  bool quiet = false;
  bool help = false;
};

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

int ParsePort(const std::string& text) {
  int port = -1;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || port < 0 ||
      port > 65535) {
    throw UsageError("--port needs a number from 0 to 65535, got \"" + text + "\"");
  }
  return port;
}

SimOptions ParseOptions(const std::vector<std::string>& args) {
  SimOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    std::optional<std::string> inlineValue;
    if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      inlineValue = arg.substr(eq + 1);
      arg.resize(eq);
    }
    const auto value = [&]() -> std::string {
      if (inlineValue) return *inlineValue;
      if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
      return args[++i];
    };
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--port") {
      options.port = ParsePort(value());
    } else if (arg == "--scenario") {
      options.scenario = value();
    } else if (arg == "--cert") {
      options.cert = value();
    } else if (arg == "--key") {
      options.key = value();
    } else if (arg == "--check") {
      options.check = true;
    } else if (arg == "--quiet") {
      options.quiet = true;
    } else {
      throw UsageError("unknown option \"" + args[i] + "\"");
    }
    if (inlineValue && (arg == "--help" || arg == "-h" || arg == "--check" || arg == "--quiet")) {
      throw UsageError(arg + " takes no value");
    }
  }
  if (options.check && !options.scenario) throw UsageError("--check needs --scenario FILE");
  if (options.cert.has_value() != options.key.has_value())
    throw UsageError("--cert and --key go together");
  return options;
}

// SIGINT and SIGTERM blocked in this thread, and so in the server threads
// it starts, until the object goes; Wait() takes the signal synchronously.
class StopSignals {
 public:
  StopSignals() {
    sigemptyset(&set_);
    sigaddset(&set_, SIGINT);
    sigaddset(&set_, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &set_, &previous_);
  }
  ~StopSignals() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  int Wait() {
    int signal = 0;
    while (sigwait(&set_, &signal) != 0) {
    }
    return signal;
  }

 private:
  sigset_t set_{};
  sigset_t previous_{};
};

}  // namespace

int SimCli::Main(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return Run(args, std::cout, std::cerr);
}

int SimCli::Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  SimOptions options;
  try {
    options = ParseOptions(args);
  } catch (const UsageError& e) {
    err << "quorvane-sim: " << e.what() << "\nTry quorvane-sim --help.\n";
    return kExitUsage;
  }
  if (options.help) {
    out << UsageText() << "\n"
        << EndpointsText((options.cert ? "https" : "http") + std::string("://127.0.0.1:") +
                         std::to_string(options.port))
        << "\n"
        << ScenarioFormatText();
    return 0;
  }

  Scenario scenario;
  if (options.scenario) {
    try {
      scenario = ScenarioFile::Load(*options.scenario);
    } catch (const ScenarioError& e) {
      err << "quorvane-sim: " << e.what() << "\n";
      return kExitUsage;
    }
  }
  if (options.check) {
    out << "quorvane-sim: " << options.scenario->string() << " is a valid scenario\n";
    return 0;
  }

  StopSignals signals;
  Simulator simulator(std::move(scenario));
  std::mutex outMutex;
  if (!options.quiet) {
    simulator.SetRequestObserver([&out, &outMutex](const SimRequest& r) {
      std::lock_guard lock(outMutex);
      out << r.method << " " << r.target << "  [" << ToString(r.service) << "]" << std::endl;
    });
  }
  try {
    if (options.cert) {
      simulator.Start(options.port, Simulator::Tls{*options.cert, *options.key});
    } else {
      simulator.Start(options.port);
    }
  } catch (const std::exception& e) {
    err << "quorvane-sim: " << e.what() << "\n";
    return kExitRuntime;
  }
  {
    std::lock_guard lock(outMutex);
    out << "quorvane-sim listening on " << simulator.BaseUrl()
        << (options.scenario ? " with scenario " + options.scenario->string() : std::string())
        << " (Ctrl+C stops)" << std::endl;
  }
  signals.Wait();
  simulator.Stop();
  std::lock_guard lock(outMutex);
  out << "quorvane-sim stopped" << std::endl;
  return 0;
}

}  // namespace quorvane::sim
