// The hardening Debian's packaging tools expect, read from the built
// binaries themselves: position-independent executables, full RELRO with
// immediate binding, the stack protector, fortified libc calls,
// control-flow protection landing pads, and the compile switches each
// object was built with (stack-clash probes leave no other trace in
// functions with small frames). The switch records come from the project's
// own options, so they also show that no object was built without them.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/ChildProcess.h"

using namespace quorvane;

namespace {

std::vector<std::string> Binaries() {
  std::vector<std::string> paths;
  std::istringstream list(QUORVANE_TEST_HARDENED_BINARIES);
  std::string path;
  while (std::getline(list, path, '|'))
    if (!path.empty()) paths.push_back(path);
  return paths;
}

std::string Output(const std::vector<std::string>& argv) {
  const ChildResult result = RunChild(argv);
  EXPECT_EQ(result.exitCode, 0) << argv[0] << " failed: " << result.err;
  return result.out;
}

std::string ReadElf(const std::string& option, const std::string& binary) {
  return Output({QUORVANE_TEST_READELF, "-W", option, binary});
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

class Hardening : public ::testing::TestWithParam<std::string> {};

TEST_P(Hardening, IsAPositionIndependentExecutable) {
  EXPECT_NE(ReadElf("-h", GetParam()).find("DYN (Position-Independent Executable"),
            std::string::npos);
  EXPECT_TRUE(std::regex_search(ReadElf("-d", GetParam()), std::regex(R"(FLAGS_1\).*\bPIE\b)")));
}

TEST_P(Hardening, HasFullRelroWithImmediateBinding) {
  EXPECT_NE(ReadElf("-l", GetParam()).find("GNU_RELRO"), std::string::npos);
  const std::string dynamic = ReadElf("-d", GetParam());
  EXPECT_TRUE(std::regex_search(dynamic, std::regex(R"(\(FLAGS\).*\bBIND_NOW\b)")) ||
              std::regex_search(dynamic, std::regex(R"(FLAGS_1\).*\bNOW\b)")))
      << dynamic;
}

TEST_P(Hardening, CallsTheStackProtector) {
  EXPECT_NE(ReadElf("--dyn-syms", GetParam()).find(" __stack_chk_fail@"), std::string::npos);
}

TEST_P(Hardening, FunctionsStartWithAnIndirectBranchLandingPad) {
  const std::string code =
      Output({QUORVANE_TEST_OBJDUMP, "-d", "--no-show-raw-insn", "--disassemble=main", GetParam()});
  std::smatch first;
  ASSERT_TRUE(std::regex_search(code, first, std::regex(R"(<main>:\n\s*[0-9a-f]+:\s*(\S+))")))
      << code;
  EXPECT_EQ(first[1], "endbr64");
}

TEST_P(Hardening, EveryObjectWasCompiledWithTheHardeningSwitches) {
  int records = 0;
  for (const auto& line : Lines(ReadElf("--string-dump=.GCC.command.line", GetParam()))) {
    const auto at = line.find("GNU C");
    if (at == std::string::npos) continue;
    ++records;
    const std::string switches = line.substr(at) + " ";
    for (const char* wanted :
         {" -fstack-protector-strong ", " -fstack-clash-protection ", " -fcf-protection=full "})
      EXPECT_NE(switches.find(wanted), std::string::npos) << wanted << " missing in " << switches;
    // _FORTIFY_SOURCE works only in optimised code.
    if (QUORVANE_TEST_OPTIMISED) {
      EXPECT_TRUE(std::regex_search(switches, std::regex(R"( -O[123s] )"))) << switches;
    }
  }
  EXPECT_GT(records, 0) << "the binary records no compile switches";
}

// _FORTIFY_SOURCE leaves a mark only where the compiler knows a buffer's
// size: __memcpy_chk, __snprintf_chk, ... The program has such calls; the
// probe, compiled with the options every binary is built with (the switch
// records above), shows that those options fortify.
TEST(Fortify, TheProgramCallsFortifiedLibcFunctions) {
  if (!QUORVANE_TEST_OPTIMISED) GTEST_SKIP() << "a Debug build is not fortified";
  EXPECT_TRUE(std::regex_search(ReadElf("--dyn-syms", QUORVANE_TEST_PROGRAM),
                                std::regex(R"( __(?!stack_chk_fail)\w+_chk@)")));
}

TEST(Fortify, TheProjectOptionsFortifyLibcCalls) {
  if (!QUORVANE_TEST_OPTIMISED) GTEST_SKIP() << "a Debug build is not fortified";
  EXPECT_NE(ReadElf("--syms", QUORVANE_TEST_FORTIFY_PROBE).find(" __memcpy_chk"),
            std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Binaries, Hardening, ::testing::ValuesIn(Binaries()),
                         [](const auto& info) {
                           // Folder and name: both builds of the program
                           // have the product's name (bin/, installed/).
                           const std::filesystem::path path(info.param);
                           std::string name = path.parent_path().filename().string() + "_" +
                                              path.filename().string();
                           for (auto& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
