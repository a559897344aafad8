// quorvane-newsd as a publisher runs it: the real binary with a
// configuration file, --check before starting it, signals to reload and
// to stop, and the log it writes.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/ChildProcess.h"
#include "support/RefusingPort.h"
#include "support/RunningChild.h"
#include "support/SimHttp.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

const std::string kNewsd = QUORVANE_NEWSD;

class NewsdCliTest : public ::testing::Test {
 protected:
  NewsdCliTest() {
    fs::create_directories(folder_.Path() / "content/news");
    fs::create_directories(folder_.Path() / "content/liveupdate/quorvane");
    folder_.Write("content/news/1.news", "Id: 1\nTitle: First\nDate: 2026-01-01\n\n<p>one</p>");
    folder_.Write("content/liveupdate/quorvane/mainappupdate.inf", "[APPLICATION]\nVersion=2.1\n");
  }

  // Writes a configuration file of that name and returns its path.
  std::string Config(const std::string& extra = "", const std::string& name = "newsd.conf") {
    folder_.Write(name,
                  "# test service\nfolder = content\npublisher_ids = acme-gold\n"
                  "product_codes = ACME-1\n" +
                      extra);
    return folder_.File(name).string();
  }

  TempFolder folder_;
};

TEST_F(NewsdCliTest, CheckReportsTheFolderAndExitsByWhatItFound) {
  ChildResult r = RunChild({kNewsd, "--config", Config(), "--check"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, folder_.File("content").string() + ": 1 news items, 1 update descriptors\n");

  folder_.Write("content/news/2.news", "Id: 1\nTitle: Again\nDate: d\n\nx");
  folder_.Write("content/liveupdate/quorvane/mainappupdate.inf", "[APPLICATION]\nVersion=soon\n");
  r = RunChild({kNewsd, "--config", Config(), "--check"});
  EXPECT_EQ(r.exitCode, 1);
  const std::string content = folder_.File("content").string();
  EXPECT_EQ(r.out, content + "/news/2.news: Id 1 is taken by news/1.news; left out\n" + content +
                       "/liveupdate/quorvane/mainappupdate.inf: Version=soon is not a number "
                       "above 0: no update is offered\n" +
                       content + ": 1 news items, 1 update descriptors\n");
}

TEST_F(NewsdCliTest, AWrongConfigurationStopsItWithEveryReason) {
  const std::string config = Config("threads = many\nport = 80\n", "bad.conf");
  const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
      {{kNewsd, "--config", config},
       {"quorvane-newsd: " + config + ":5: threads: must be a number from 1 to 256",
        "quorvane-newsd: " + config + ":6: port: unknown key"}},
      {{kNewsd, "--config", folder_.File("missing.conf").string()},
       {"quorvane-newsd: " + folder_.File("missing.conf").string() + ": cannot be read"}},
      {{kNewsd, "--config", Config(), "--listen", "nowhere"},
       {"quorvane-newsd: --listen: must be host:port, e.g. 127.0.0.1:8080"}},
      {{kNewsd, "--verbose"}, {"quorvane-newsd: unknown argument --verbose (see --help)"}},
  };
  for (const auto& [args, lines] : cases) {
    const ChildResult r = RunChild(args);
    EXPECT_EQ(r.exitCode, 2) << args.back();
    std::string expected;
    for (const std::string& line : lines) expected += line + "\n";
    EXPECT_EQ(r.err, expected);
    EXPECT_EQ(r.out, "");
  }
}

TEST_F(NewsdCliTest, HelpAndVersionNeedNoConfiguration) {
  ChildResult r = RunChild({kNewsd, "--help"});
  EXPECT_EQ(r.exitCode, 0);
  for (const char* piece : {"--config FILE", "--check", "SIGHUP", "/etc/quorvane-newsd.conf"}) {
    EXPECT_NE(r.out.find(piece), std::string::npos) << piece;
  }
  r = RunChild({kNewsd, "--version"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "quorvane-newsd 2.0\n");
}

// Serves, scans again on SIGHUP, ends cleanly on SIGTERM; the log (stderr)
// says so and names no client.
TEST_F(NewsdCliTest, ServesReloadsOnHangUpAndStopsOnTerminate) {
  // A port that was free a moment ago; the service takes it over.
  int port = 0;
  {
    RefusingPort probe;
    const std::string url = probe.Url();
    port = std::stoi(url.substr(url.rfind(':') + 1));
  }
  const std::string log = folder_.File("newsd.log").string();
  const std::string config =
      Config("listen = 127.0.0.1:" + std::to_string(port) + "\nrescan_seconds = 3600\n");
  RunningChild service(
      {"/bin/sh", "-c", "exec \"$0\" --config \"$1\" 2>\"$2\"", kNewsd, config, log});
  const std::string base = "http://127.0.0.1:" + std::to_string(port);
  std::optional<HttpReply> descriptor;
  for (int i = 0; i < 300; ++i) {
    HttpReply reply = Fetch(base + "/liveupdate/quorvane/mainappupdate.inf");
    if (reply.code == CURLE_OK) {
      descriptor = reply;
      break;
    }
    std::this_thread::sleep_for(milliseconds(10));
  }
  ASSERT_TRUE(descriptor.has_value()) << "the service did not come up";
  EXPECT_EQ(descriptor->body, "[APPLICATION]\nVersion=2.1\n");

  // Written in place; the signal scans at once (the watcher would too, a
  // moment later), and a forced scan always logs what it found.
  folder_.Write("content/liveupdate/quorvane/mainappupdate.inf", "[APPLICATION]\nVersion=2.2\n");
  ASSERT_EQ(kill(service.Pid(), SIGHUP), 0);
  bool reloaded = false;
  for (int i = 0; i < 300 && !reloaded; ++i) {
    reloaded = Fetch(base + "/liveupdate/quorvane/mainappupdate.inf").body.find("2.2") !=
               std::string::npos;
    if (!reloaded) std::this_thread::sleep_for(milliseconds(10));
  }
  EXPECT_TRUE(reloaded);

  const int status = service.KillAndWait(SIGTERM);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const std::string written = ReadFileBytes(log);
  for (const char* piece : {"listening on 127.0.0.1:", "content: 1 news items (newest 1), 1 update",
                            "GET /liveupdate/quorvane/mainappupdate.inf 200 descriptor",
                            "SIGHUP: scanning the folder again", "stopping on SIGTERM"}) {
    EXPECT_NE(written.find(piece), std::string::npos) << piece << "\n" << written;
  }
  const auto hangUp = written.find("SIGHUP: scanning the folder again");
  ASSERT_NE(hangUp, std::string::npos);
  EXPECT_NE(written.find("content: 1 news items (newest 1), 1 update", hangUp), std::string::npos)
      << written;
  std::size_t from = 0;
  for (std::size_t end; (end = written.find('\n', from)) != std::string::npos; from = end + 1) {
    const std::string line = written.substr(from, end - from);
    if (line.find("listening on") == std::string::npos) {
      EXPECT_EQ(line.find("127.0.0.1"), std::string::npos) << "a client address: " << line;
    }
  }
}

TEST_F(NewsdCliTest, AnAddressInUseIsReported) {
  RefusingPort taken;  // bound, not listening: a second bind still fails
  const std::string url = taken.Url();
  const std::string port = std::to_string(std::stoi(url.substr(url.rfind(':') + 1)));
  const ChildResult r = RunChild({kNewsd, "--config", Config(), "--listen", "127.0.0.1:" + port});
  EXPECT_EQ(r.exitCode, 3) << r.err;
  EXPECT_NE(r.err.find("quorvane-newsd: cannot listen on 127.0.0.1:" + port), std::string::npos)
      << r.err;
}

}  // namespace
