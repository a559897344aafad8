#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quorvane::sim {

// What the simulated services do. A default-constructed Scenario is the
// demo behaviour: every service answers normally, no security image, three
// news items, version "2.0" on the update server. Tests fill in the fields
// they care about; the command-line tool reads them from a scenario file
// (ScenarioFile.h). Every value is deterministic: the same scenario and the
// same requests give the same bytes.

// How a response is paced, for "Stop" and abort tests. All waits end at
// once when the simulator stops or when Simulator::ReleaseHeld() is called.
struct Pace {
  int delayMs = 0;    // wait before the status line is sent
  int dripBytes = 0;  // > 0: send the body in pieces of this many bytes ...
  int dripMs = 0;     // ... with this pause before each piece
};

// When the suggestion service asks for the security image instead of
// giving suggestions.
enum class SecurityImageMode {
  kOff,          // never
  kFirst,        // on the first `securityImageCount` suggestion requests
  kAlways,       // on every suggestion request (a right answer still gives the page)
  kUntilSolved,  // on every suggestion request until one right answer
};

struct SuggestScenario {
  int rows = 12;                 // suggestion rows before the "&nbsp;" row that ends the list
  bool upperCaseFooter = false;  // write the footer as "</TFOOT>"
  bool noTable = false;          // answer with a page that holds no suggestion table
  SecurityImageMode securityImage = SecurityImageMode::kOff;
  int securityImageCount = 1;                // for kFirst
  std::string securityImageAnswer = "qv7k";  // compared exactly (case-sensitive) after URL decoding
  int status = 200;                          // any other value: an error page with that status
  Pace pace;
};

enum class EngineMode {
  kNormal,       // decoy count, narrowing marker, real count
  kFail,         // HTTP error `status` (500 unless set otherwise)
  kNoMarkers,    // a 200 page without any count marker
  kNoNarrowing,  // the count markers without the narrowing marker (and no decoy)
};

struct EngineScenario {
  EngineMode mode = EngineMode::kNormal;
  int status = 500;  // for kFail
  Pace pace;
};

struct SearchScenario {
  EngineScenario google;
  EngineScenario yahoo;
  EngineScenario msn;
  // A phrase (compared without quotes, case-insensitively, blanks
  // collapsed) whose counts exceed 2,147,483,647 on every engine.
  std::string hugeTerm;
};

struct NewsItem {
  int id = 0;
  std::string title;      // may not hold "^" or the byte 0xAF
  std::string published;  // same
  std::string body;       // HTML, any bytes; escaped on the wire
};

struct NewsScenario {
  std::string publisherId = "demo";     // expected memusername
  std::string productCode = "QV-DEMO";  // expected prodcode
  std::string productType;              // expected prodtype; empty: any of BM, BP, BG
  bool connectionFail = false;          // every request answers "CONNECTIONFAIL"
  std::vector<NewsItem> items = DefaultItems();
  // Verbatim replies, sent before any check when set: for conttype=all,
  // for conttype=lastcode and for getnewsdetails.php.
  std::optional<std::string> listReply;
  std::optional<std::string> lastcodeReply;
  std::optional<std::string> detailsReply;
  int status = 200;  // any other value: an error page with that status
  Pace pace;

  static std::vector<NewsItem> DefaultItems();
};

struct UpdateScenario {
  std::string version = "2.0";     // the Version key of section APPLICATION
  bool missing = false;            // the descriptor answers 404
  std::optional<std::string> raw;  // the whole descriptor, verbatim
  Pace pace;
};

struct Scenario {
  SuggestScenario suggest;
  SearchScenario search;
  NewsScenario news;
  UpdateScenario update;
};

}  // namespace quorvane::sim
