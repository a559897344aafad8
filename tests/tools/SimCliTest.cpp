#include "sim/SimCli.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <regex>
#include <sstream>

#include "sim/ScenarioFile.h"
#include "sim/Simulator.h"
#include "support/SimHttp.h"
#include "support/TempFolder.h"
#include "support/TestAuthority.h"

using namespace quorvane;
using namespace quorvane::sim;

extern char** environ;

namespace {

struct CliResult {
  int status;
  std::string out;
  std::string err;
};

CliResult RunCli(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = SimCli::Run(args, out, err);
  return {status, out.str(), err.str()};
}

// The real executable in a child process, its stdout on a pipe.
class SimProcess {
 public:
  explicit SimProcess(const std::vector<std::string>& args) {
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<std::string> all = {QUORVANE_SIM_EXE};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int rc = posix_spawn(&pid_, QUORVANE_SIM_EXE, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    out_ = fds[0];
    if (rc != 0) throw std::runtime_error("posix_spawn failed");
  }
  ~SimProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    close(out_);
  }
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // Reads output until it contains `text` or the time is up.
  bool ReadUntil(const std::string& text, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (output_.find(text) == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      pollfd pfd{out_, POLLIN, 0};
      if (poll(&pfd, 1, static_cast<int>(left.count())) <= 0) return false;
      char buffer[1024];
      const ssize_t n = read(out_, buffer, sizeof(buffer));
      if (n <= 0) return output_.find(text) != std::string::npos;
      output_.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
  }

  int SignalAndWait(int signal) {
    kill(pid_, signal);
    return Wait();
  }
  int Wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  const std::string& Output() const { return output_; }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string output_;
};

TEST(SimCliTest, HelpExplainsEndpointsAndScenarioFormat) {
  const CliResult r = RunCli({"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(r.err.empty());
  for (const char* text : {"--port N",
                           "--cert FILE",
                           "--key FILE",
                           "openssl req -x509",
                           "--scenario FILE",
                           "8765",
                           "/?seed=",
                           "/keyword-suggestion-tool.html",
                           "/captcha.png",
                           "/search?q=",
                           "/search?p=",
                           "/results.aspx?q=",
                           "getlastnews.php",
                           "getnewsdetails.php",
                           "/liveupdate/quorvane/mainappupdate.inf",
                           "/fault/404",
                           "/fault/redirect/N",
                           "/fault/redirect-nolocation",
                           "/fault/cut",
                           "/fault/drip",
                           "/fault/chunked",
                           "/fault/nul",
                           "/fault/close",
                           "[suggest]",
                           "[google], [yahoo], [msn]",
                           "[news]",
                           "[item]",
                           "[update]",
                           "captcha = off",
                           "huge_term",
                           "Example:"}) {
    EXPECT_NE(r.out.find(text), std::string::npos) << text;
  }
  EXPECT_EQ(RunCli({"-h"}).out, r.out);

  // The example at the end is a scenario file that reads without errors.
  const auto example = r.out.find("Example:\n");
  ASSERT_NE(example, std::string::npos);
  std::string text;
  std::istringstream lines(r.out.substr(example + 9));
  for (std::string line; std::getline(lines, line);)
    text += line.substr(std::min<std::size_t>(2, line.size())) + "\n";
  const Scenario s = ScenarioFile::Parse(text, "example", ".");
  EXPECT_EQ(s.suggest.securityImage, SecurityImageMode::kFirst);
  EXPECT_EQ(s.search.yahoo.mode, EngineMode::kFail);
  EXPECT_EQ(s.news.items.size(), 1u);
}

TEST(SimCliTest, WrongOptionsExitWithUsageStatus) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--verbose"}, "unknown option \"--verbose\""},
      {{"--port"}, "--port needs a value"},
      {{"--port", "abc"}, "--port needs a number from 0 to 65535, got \"abc\""},
      {{"--port=70000"}, "--port needs a number from 0 to 65535"},
      {{"--check"}, "--check needs --scenario FILE"},
      {{"--quiet=yes"}, "--quiet takes no value"},
      {{"--cert", "sim.pem"}, "--cert and --key go together"},
      {{"--key", "sim.key"}, "--cert and --key go together"},
  };
  for (const auto& [args, message] : cases) {
    SCOPED_TRACE(message);
    const CliResult r = RunCli(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("quorvane-sim: " + message), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--help"), std::string::npos);
    EXPECT_TRUE(r.out.empty());
  }
}

TEST(SimCliTest, ScenarioErrorsAreReportedWithFileAndLine) {
  TempFolder folder;
  folder.Write("bad.scenario", "[suggest]\nrows = 12\n[google]\nmood = fail\n");
  const std::string file = folder.File("bad.scenario").string();
  CliResult r = RunCli({"--scenario", file});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "quorvane-sim: " + file + ":4: unknown key \"mood\" in [google]\n");

  r = RunCli({"--check", "--scenario=" + folder.File("missing.scenario").string()});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("cannot read scenario file"), std::string::npos);

  folder.Write("good.scenario", "[google]\nmode = fail\n");
  r = RunCli({"--check", "--scenario", folder.File("good.scenario").string()});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("is a valid scenario"), std::string::npos);
  EXPECT_EQ(RunCli({"--check", "--scenario", QUORVANE_SIM_DIR "/demo.scenario"}).status, 0);
}

TEST(SimCliTest, ServesUntilSignalled) {
  for (const int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    TempFolder folder;
    folder.Write("s.scenario", "[google]\nmode = fail\nstatus = 503\n");
    SimProcess process({"--port", "0", "--scenario", folder.File("s.scenario").string()});
    ASSERT_TRUE(process.ReadUntil("(Ctrl+C stops)\n", std::chrono::seconds(10)))
        << process.Output();
    std::smatch match;
    const std::string output = process.Output();
    ASSERT_TRUE(std::regex_search(output, match,
                                  std::regex("listening on (http://127\\.0\\.0\\.1:([0-9]+))")));
    const std::string base = match[1];
    EXPECT_EQ(Fetch(base + "/search?q=golf").status, 503) << "the scenario is in force";
    EXPECT_EQ(Fetch(base + "/search?p=golf").status, 200);
    EXPECT_TRUE(process.ReadUntil("GET /search?p=golf  [yahoo]\n", std::chrono::seconds(5)));
    EXPECT_EQ(process.SignalAndWait(signal), 0);
    process.ReadUntil("quorvane-sim stopped\n", std::chrono::seconds(5));
    EXPECT_NE(process.Output().find("quorvane-sim stopped\n"), std::string::npos);
    EXPECT_NE(Fetch(base + "/sim").code, CURLE_OK) << "the port is closed";
  }
}

// The https simulator answers with the certificate it was given, which a
// client that trusts its authority accepts and any other refuses.
std::string ServeOnceOverHttps(const std::vector<std::string>& tlsArgs, const std::string& caFile,
                               CURLcode& untrusted) {
  std::vector<std::string> args = {"--port", "0", "--quiet"};
  args.insert(args.end(), tlsArgs.begin(), tlsArgs.end());
  SimProcess process(args);
  if (!process.ReadUntil("(Ctrl+C stops)\n", std::chrono::seconds(10))) return process.Output();
  std::smatch match;
  const std::string output = process.Output();
  if (!std::regex_search(output, match,
                         std::regex("listening on (https://127\\.0\\.0\\.1:[0-9]+)")))
    return output;
  const std::string base = match[1];
  untrusted = Fetch(base + "/sim").code;
  HttpOptions trusting;
  trusting.caFile = caFile;
  const HttpReply reply = Fetch(base + "/search?q=golf", trusting);
  process.SignalAndWait(SIGTERM);
  return std::to_string(reply.status) + " " +
         (reply.body.find("of about <b>") != std::string::npos ? "counted" : reply.body);
}

TEST(SimCliTest, ServesHttpsWithTheGivenCertificate) {
  TempFolder folder;
  const TestAuthority authority(folder.Path());
  const auto issued = authority.Issue("sim", {"127.0.0.1"});
  CURLcode untrusted = CURLE_OK;
  EXPECT_EQ(
      ServeOnceOverHttps({"--cert", issued.certificate.string(), "--key", issued.key.string()},
                         authority.CertificateFile().string(), untrusted),
      "200 counted");
  EXPECT_EQ(untrusted, CURLE_PEER_FAILED_VERIFICATION) << "the system does not know the authority";
}

TEST(SimCliTest, TheHelpsOpensslRecipeMakesAWorkingAuthority) {
  // The commands the help gives, run as they stand (openssl is installed by
  // scripts/bootstrap).
  const std::string help = RunCli({"--help"}).out;
  const auto first = help.find("  openssl req -x509");
  const auto end = help.find("  quorvane-sim --cert");
  ASSERT_NE(first, std::string::npos);
  ASSERT_NE(end, std::string::npos);
  TempFolder folder;
  folder.Write("recipe.sh", "set -e\n" + help.substr(first, end - first));
  const std::string command =
      "cd '" + folder.Path().string() + "' && bash recipe.sh >recipe.log 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << folder.Read("recipe.log");
  CURLcode untrusted = CURLE_OK;
  EXPECT_EQ(ServeOnceOverHttps({"--cert", folder.File("sim.pem").string(), "--key",
                                folder.File("sim.key").string()},
                               folder.File("ca.pem").string(), untrusted),
            "200 counted");
}

TEST(SimCliTest, AnUnusableCertificateExitsWithRuntimeStatus) {
  TempFolder folder;
  folder.Write("sim.pem", "not a certificate\n");
  folder.Write("sim.key", "not a key\n");
  SimProcess process({"--port", "0", "--quiet", "--cert", folder.File("sim.pem").string(), "--key",
                      folder.File("sim.key").string()});
  EXPECT_EQ(process.Wait(), 1);
  process.ReadUntil("\n", std::chrono::seconds(1));
  EXPECT_NE(process.Output().find("cannot serve https with the certificate"), std::string::npos)
      << process.Output();
}

TEST(SimCliTest, BusyPortExitsWithRuntimeStatus) {
  Simulator holder;
  const int port = holder.Start();
  SimProcess process({"--port", std::to_string(port), "--quiet"});
  EXPECT_EQ(process.Wait(), 1);
  process.ReadUntil("\n", std::chrono::seconds(1));
  EXPECT_NE(process.Output().find("cannot listen on 127.0.0.1:" + std::to_string(port)),
            std::string::npos)
      << process.Output();
}

}  // namespace
