// The settings file is the only file the program rewrites. A save killed at
// any moment (SIGKILL: no destructor, no handler runs) must leave it whole:
// it decrypts cleanly to the settings text before the save or the one
// after it, byte for byte. And what a killed save leaves behind (its
// temporary files, the working copy) must not pile up.
//
// A helper process (quorvane_save_loop) saves over and over; the test
// kills it at random moments inside a save, a few hundred times. The
// random generator's seed is printed; QUORVANE_SAVE_KILL_SEED=<seed>
// replays a run.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "base/ProgramFolder.h"
#include "settings/ContainerBytes.h"
#include "settings/LastNewsId.h"
#include "settings/SaveLoopIds.h"
#include "settings/SettingsFile.h"
#include "support/RunningChild.h"
#include "support/SmallDisk.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kKills = 300;

// A settings file of a realistic size: the brand values and a welcome
// page of some kilobytes; the marker line stands in the middle.
std::string SettingsText(const std::string& id) {
  std::string text =
      "<%%ApplicationName%%>Acme Keywords<%%/ApplicationName%%>\r\n"
      "<%%BranderCode%%>AK-7<%%/BranderCode%%>\r\n"
      "<%%BranderType%%>Gold<%%/BranderType%%>\r\n"
      "<%%GoldNewsBaseURL%%>http://127.0.0.1:1/news/<%%/GoldNewsBaseURL%%>\r\n"
      "<%%GoldPublID%%>acme<%%/GoldPublID%%>\r\n"
      "<%%LastNewsId%%>" +
      id + "<%%/LastNewsId%%>\r\n<%%Welcome1%%><html><body>\r\n";
  for (int i = 0; i < 120; ++i)
    text += "<p>Line " + std::to_string(i) + " of the welcome page.</p>\r\n";
  return text + "</body></html><%%/Welcome1%%>\r\n";
}

// The id the stored file holds, checked to decrypt cleanly to exactly the
// text of one of `ids`; empty (with a test failure) otherwise.
std::string StoredId(const fs::path& file, const std::vector<std::string>& ids) {
  std::string plain;
  const CryptError result = DecryptBytes(ReadFileBytes(file), kSettingsPassword, plain);
  EXPECT_EQ(result, CryptError::None) << "the settings file does not decrypt cleanly";
  if (result != CryptError::None) return {};
  for (const auto& id : ids) {
    if (plain == SettingsText(id)) return id;
  }
  ADD_FAILURE() << "the settings text is neither the old nor the new one:\n"
                << plain.substr(0, 400);
  return {};
}

// The files in the folder besides the settings file.
std::set<std::string> Leftovers(const fs::path& folder) {
  std::set<std::string> names = FolderEntries(folder);
  names.erase("dbsettings.dat");
  return names;
}

std::mt19937_64::result_type Seed() {
  if (const char* given = std::getenv("QUORVANE_SAVE_KILL_SEED")) {
    return std::strtoull(given, nullptr, 10);
  }
  return std::random_device{}();
}

// "begin 3" -> {"begin", 3}
std::pair<std::string, unsigned long> Parse(const std::string& line) {
  const std::size_t blank = line.find(' ');
  if (blank == std::string::npos) return {line, 0};
  return {line.substr(0, blank), std::stoul(line.substr(blank + 1))};
}

}  // namespace

TEST(SaveKillTest, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewSettings) {
  const auto seed = Seed();
  std::cout << "seed " << seed << " (replay: QUORVANE_SAVE_KILL_SEED=" << seed << ")\n";
  std::mt19937_64 random(seed);

  // On a tmpfs where the process may mount one: syncing costs nothing there,
  // so a save takes a millisecond instead of tens, and the kills cover it
  // all the same (a kill is not a power cut; what was written stays).
  // Elsewhere SmallDisk gives an ordinary temporary folder.
  SmallDisk disk(64 * 1024 * 1024);
  const fs::path folder = disk.Folder();
  SetProgramFolder(folder);
  struct Restore {
    ~Restore() { SetProgramFolder({}); }
  } restore;
  const fs::path settings = folder / "dbsettings.dat";
  TempFolder scratch;
  scratch.Write("plain.txt", SettingsText(SaveLoopId(1)));
  EncryptSettingsFile(scratch.File("plain.txt"), settings);

  // How long one save takes here, to spread the kills over a whole save.
  std::vector<Clock::duration> took;
  for (unsigned long n = 0; n < 6; ++n) {
    const auto start = Clock::now();
    SaveLastNewsId(SaveLoopId(n));
    took.push_back(Clock::now() - start);
  }
  std::sort(took.begin(), took.end());
  const auto save = took[took.size() / 2];
  std::string stored = SaveLoopId(5);

  // Save 0 of a fresh process counts too: its first use of the crypto library
  // makes it the longest, so the kills cover it only in part.
  std::uniform_int_distribution<int> whichSave(0, 1);
  // Drawn as a share of one save, so that a replay kills at the same
  // points of the saves even where a save takes another time.
  std::uniform_real_distribution<double> delay(0.0, 1.5);
  int insideSave = 0;
  int leftOld = 0;
  int leftNew = 0;
  std::size_t mostLeftovers = 0;
  const auto start = Clock::now();
  for (int kill = 0; kill < kKills; ++kill) {
    SCOPED_TRACE("kill " + std::to_string(kill) + ", seed " + std::to_string(seed));
    const unsigned long target = static_cast<unsigned long>(whichSave(random));
    const auto wait = std::chrono::duration_cast<Clock::duration>(save * delay(random));

    RunningChild child({QUORVANE_SAVE_LOOP, folder.string()});
    std::vector<std::string> lines;
    while (lines.empty() || lines.back() != "begin " + std::to_string(target)) {
      const auto line = child.ReadLine(std::chrono::seconds(20));
      ASSERT_TRUE(line) << "the save loop stopped before save " << target;
      lines.push_back(*line);
    }
    std::this_thread::sleep_for(wait);
    const int status = child.KillAndWait(SIGKILL);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        << "the save loop ended by itself, status " << status;
    for (auto& line : child.RemainingLines()) lines.push_back(std::move(line));

    const auto [what, n] = Parse(lines.back());
    ASSERT_TRUE(what == "begin" || what == "end") << lines.back();
    const std::string before = n == 0 ? stored : SaveLoopId(n - 1);
    const std::string after = SaveLoopId(n);
    if (what == "begin") {
      ++insideSave;
      stored = StoredId(settings, {before, after});
      ASSERT_FALSE(stored.empty());
      ++(stored == before && before != after ? leftOld : leftNew);
    } else {
      stored = StoredId(settings, {after});
      ASSERT_FALSE(stored.empty());
    }

    // One killed save leaves at most its working copy and one temporary
    // file; the next save clears what the one before left.
    const auto leftovers = Leftovers(folder);
    mostLeftovers = std::max(mostLeftovers, leftovers.size());
    std::size_t temporaries = 0;
    for (const auto& name : leftovers) temporaries += name == "dbsettings.sim" ? 0 : 1;
    ASSERT_LE(temporaries, 1u) << "temporary files pile up: " << testing::PrintToString(leftovers);
  }
  const auto seconds = std::chrono::duration<double>(Clock::now() - start).count();

  // Any later use of the settings file clears the rest.
  EXPECT_EQ(ReadLastNewsId(), stored);
  EXPECT_EQ(Leftovers(folder), std::set<std::string>{});

  std::cout << kKills << " kills " << (disk.Real() ? "on a tmpfs" : "in a temporary folder")
            << " in " << seconds << " s; one save takes "
            << std::chrono::duration<double, std::micro>(save).count() << " us; " << insideSave
            << " kills landed inside a save (" << leftOld << " left the old file, " << leftNew
            << " the new one); at most " << mostLeftovers << " files left beside the settings\n";
  // The harness itself: kills that always missed the saves would prove nothing.
  EXPECT_GE(insideSave, kKills / 2);
}

// What killed saves left is cleared by the next load, read or save. A
// temporary file that a writer still holds (another copy of the program
// saving at this moment) stays, and so does every file that only looks
// alike.
TEST(SaveKillTest, LeftoversAreClearedAndAWriterAtWorkKeepsItsFile) {
  TempFolder folder(/*asProgramFolder=*/true);
  TempFolder scratch;
  scratch.Write("plain.txt", SettingsText("17"));
  EncryptSettingsFile(scratch.File("plain.txt"), folder.File("dbsettings.dat"));

  const std::set<std::string> others = {".dbsettings.dat.backup",     ".dbsettings.dat.a1B2c.tmp",
                                        "dbsettings.dat.a1B2c3.tmp",  ".dbsettings.dat.a1B2c3.tmp~",
                                        ".dbsettings.dat.a-B2c3.tmp", ".mainskin.dat.a1B2c3.tmp"};
  for (const auto& name : others) folder.Write(name, "not ours");
  const std::string held = ".dbsettings.dat.HeLd00.tmp";
  folder.Write(held, "being written");
  const int writer = ::open(folder.File(held).c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(::flock(writer, LOCK_EX), 0);

  std::set<std::string> kept = others;
  kept.insert(held);
  const struct {
    const char* name;
    void (*run)();
  } operations[] = {
      {"read", [] { EXPECT_EQ(ReadLastNewsId(), "17"); }},
      {"save", [] { SaveLastNewsId("17"); }},
  };
  for (const auto& operation : operations) {
    SCOPED_TRACE(operation.name);
    for (const char* stale : {".dbsettings.dat.x7Yq2Z.tmp", ".dbsettings.sim.000000.tmp",
                              ".dbsettings.sim.Zz9900.tmp", "dbsettings.sim"})
      folder.Write(stale, "left by a killed save");
    operation.run();
    EXPECT_EQ(Leftovers(folder.Path()), kept);
  }

  ::close(writer);
  ReadLastNewsId();
  EXPECT_FALSE(folder.Exists(held)) << "once its writer is gone, it is a leftover";
}
