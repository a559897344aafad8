#include "sim/ScenarioFile.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>

#include "sim/SimText.h"

namespace quorvane::sim {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::string> ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class Parser {
 public:
  Parser(std::string origin, std::filesystem::path folder)
      : origin_(std::move(origin)), folder_(std::move(folder)) {}

  Scenario Run(std::string_view text) {
    std::size_t start = 0;
    while (start <= text.size()) {
      const auto eol = text.find('\n', start);
      std::string_view line =
          text.substr(start, eol == std::string_view::npos ? std::string_view::npos : eol - start);
      ++line_;
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      Line(line);
      if (eol == std::string_view::npos) break;
      start = eol + 1;
    }
    FinishItem();
    return scenario_;
  }

 private:
  [[noreturn]] void Fail(const std::string& message) const {
    throw ScenarioError(origin_ + ":" + std::to_string(line_) + ": " + message);
  }

  void Line(std::string_view raw) {
    const std::string line = TrimBlanks(raw);
    if (line.empty() || line[0] == '#' || line[0] == ';') return;
    if (line[0] == '[') {
      if (line.back() != ']') Fail("a section header must end with ]");
      Section(TrimBlanks(std::string_view(line).substr(1, line.size() - 2)));
      return;
    }
    const auto eq = line.find('=');
    if (eq == std::string::npos) Fail("expected key = value, got \"" + line + "\"");
    const std::string key = ToLowerAscii(TrimBlanks(std::string_view(line).substr(0, eq)));
    if (key.empty()) Fail("a key is missing before =");
    if (section_.empty()) Fail("\"" + key + "\" stands before any [section]");
    Value(key, Unescape(TrimBlanks(std::string_view(line).substr(eq + 1))));
  }

  void Section(const std::string& name) {
    static const std::set<std::string> kKnown = {"suggest", "google", "yahoo", "msn",
                                                 "search",  "news",   "item",  "update"};
    FinishItem();
    section_ = ToLowerAscii(name);
    if (!kKnown.count(section_)) {
      Fail("unknown section [" + name +
           "] (known: suggest, google, yahoo, msn, search, news, item, update)");
    }
    if (section_ == "item") {
      if (!sawItem_) scenario_.news.items.clear();
      sawItem_ = true;
      item_ = NewsItem{};
      itemLine_ = line_;
      itemHasId_ = false;
    }
  }

  void FinishItem() {
    if (section_ != "item") return;
    if (!itemHasId_) {
      throw ScenarioError(origin_ + ":" + std::to_string(itemLine_) + ": [item] without an id");
    }
    if (!itemIds_.insert(item_.id).second) {
      throw ScenarioError(origin_ + ":" + std::to_string(itemLine_) + ": a second [item] with id " +
                          std::to_string(item_.id));
    }
    scenario_.news.items.push_back(item_);
    section_.clear();
  }

  std::string Unescape(const std::string& value) const {
    std::string_view v = value;
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < v.size(); ++i) {
      if (v[i] != '\\') {
        out += v[i];
        continue;
      }
      if (i + 1 >= v.size()) Fail("a value ends with a lone backslash (write \\\\)");
      const char e = v[++i];
      switch (e) {
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case '\\':
          out += '\\';
          break;
        case '"':
          out += '"';
          break;
        case 'x': {
          if (i + 2 >= v.size()) Fail("\\x needs two hex digits");
          const int hi = HexDigit(v[i + 1]);
          const int lo = HexDigit(v[i + 2]);
          if (hi < 0 || lo < 0) Fail("\\x needs two hex digits");
          out += static_cast<char>(hi * 16 + lo);
          i += 2;
          break;
        }
        default:
          Fail(std::string("unknown escape \\") + e + " (known: \\n \\r \\t \\\\ \\\" \\xHH)");
      }
    }
    return out;
  }

  int Number(const std::string& key, const std::string& value, int min, int max) const {
    int n = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (value.empty() || error != std::errc() || end != value.data() + value.size() || n < min ||
        n > max) {
      Fail(key + " must be a number from " + std::to_string(min) + " to " + std::to_string(max) +
           ", got \"" + value + "\"");
    }
    return n;
  }

  bool Flag(const std::string& key, const std::string& value) const {
    const std::string v = ToLowerAscii(value);
    if (v == "yes" || v == "true" || v == "on" || v == "1") return true;
    if (v == "no" || v == "false" || v == "off" || v == "0") return false;
    Fail(key + " must be yes or no, got \"" + value + "\"");
  }

  bool PaceKey(const std::string& key, const std::string& value, Pace& pace) const {
    if (key == "delay_ms") {
      pace.delayMs = Number(key, value, 0, 3600000);
    } else if (key == "drip_bytes") {
      pace.dripBytes = Number(key, value, 0, 1000000);
    } else if (key == "drip_ms") {
      pace.dripMs = Number(key, value, 0, 3600000);
    } else {
      return false;
    }
    return true;
  }

  [[noreturn]] void UnknownKey(const std::string& key) const {
    Fail("unknown key \"" + key + "\" in [" + section_ + "]");
  }

  void Value(const std::string& key, const std::string& value) {
    if (section_ == "suggest") {
      SuggestValue(key, value);
    } else if (section_ == "google" || section_ == "yahoo" || section_ == "msn") {
      EngineScenario& engine = section_ == "google"  ? scenario_.search.google
                               : section_ == "yahoo" ? scenario_.search.yahoo
                                                     : scenario_.search.msn;
      EngineValue(key, value, engine);
    } else if (section_ == "search") {
      if (key != "huge_term") UnknownKey(key);
      scenario_.search.hugeTerm = value;
    } else if (section_ == "news") {
      NewsValue(key, value);
    } else if (section_ == "item") {
      ItemValue(key, value);
    } else {
      UpdateValue(key, value);
    }
  }

  void SuggestValue(const std::string& key, const std::string& value) {
    SuggestScenario& s = scenario_.suggest;
    if (PaceKey(key, value, s.pace)) return;
    if (key == "rows") {
      s.rows = Number(key, value, 0, 1000);
    } else if (key == "footer") {
      const std::string v = ToLowerAscii(value);
      if (v != "lower" && v != "upper")
        Fail("footer must be lower or upper, got \"" + value + "\"");
      s.upperCaseFooter = v == "upper";
    } else if (key == "table") {
      s.noTable = !Flag(key, value);
    } else if (key == "captcha") {
      const std::string v = CollapseBlanks(ToLowerAscii(value));
      if (v == "off") {
        s.securityImage = SecurityImageMode::kOff;
      } else if (v == "always") {
        s.securityImage = SecurityImageMode::kAlways;
      } else if (v == "until-solved") {
        s.securityImage = SecurityImageMode::kUntilSolved;
      } else if (v.rfind("first ", 0) == 0) {
        s.securityImage = SecurityImageMode::kFirst;
        s.securityImageCount = Number("the count of captcha = first", v.substr(6), 1, 1000000);
      } else {
        Fail("captcha must be off, first N, always or until-solved, got \"" + value + "\"");
      }
    } else if (key == "answer") {
      if (value.empty()) Fail("answer may not be empty");
      s.securityImageAnswer = value;
    } else if (key == "status") {
      s.status = Number(key, value, 200, 599);
    } else {
      UnknownKey(key);
    }
  }

  void EngineValue(const std::string& key, const std::string& value, EngineScenario& engine) {
    if (PaceKey(key, value, engine.pace)) return;
    if (key == "mode") {
      const std::string v = ToLowerAscii(value);
      if (v == "normal") {
        engine.mode = EngineMode::kNormal;
      } else if (v == "fail") {
        engine.mode = EngineMode::kFail;
      } else if (v == "no-markers") {
        engine.mode = EngineMode::kNoMarkers;
      } else if (v == "no-narrowing") {
        engine.mode = EngineMode::kNoNarrowing;
      } else {
        Fail("mode must be normal, fail, no-markers or no-narrowing, got \"" + value + "\"");
      }
    } else if (key == "status") {
      engine.status = Number(key, value, 200, 599);
    } else {
      UnknownKey(key);
    }
  }

  void NewsValue(const std::string& key, const std::string& value) {
    NewsScenario& n = scenario_.news;
    if (PaceKey(key, value, n.pace)) return;
    if (key == "publisher_id") {
      n.publisherId = value;
    } else if (key == "product_code") {
      n.productCode = value;
    } else if (key == "product_type") {
      if (!value.empty() && value != "BM" && value != "BP" && value != "BG") {
        Fail("product_type must be BM, BP, BG or empty, got \"" + value + "\"");
      }
      n.productType = value;
    } else if (key == "connection_fail") {
      n.connectionFail = Flag(key, value);
    } else if (key == "items") {
      const std::string v = ToLowerAscii(value);
      if (v == "none") {
        if (!sawItem_) n.items.clear();
      } else if (v != "default") {
        Fail("items must be default or none, got \"" + value + "\"");
      }
    } else if (key == "list_reply") {
      n.listReply = value;
    } else if (key == "lastcode_reply") {
      n.lastcodeReply = value;
    } else if (key == "details_reply") {
      n.detailsReply = value;
    } else if (key == "status") {
      n.status = Number(key, value, 200, 599);
    } else {
      UnknownKey(key);
    }
  }

  void RecordText(const std::string& key, const std::string& value) const {
    if (value.find('^') != std::string::npos || value.find('\xAF') != std::string::npos) {
      Fail(key + " may not contain ^ or the byte 0xAF: they separate the news records");
    }
  }

  void ItemValue(const std::string& key, const std::string& value) {
    if (key == "id") {
      item_.id = Number(key, value, 1, 2147483647);
      itemHasId_ = true;
    } else if (key == "title") {
      RecordText(key, value);
      item_.title = value;
    } else if (key == "published") {
      RecordText(key, value);
      item_.published = value;
    } else if (key == "body") {
      item_.body = value;
    } else if (key == "body_file") {
      const std::filesystem::path file = folder_ / value;
      auto bytes = ReadBytes(file);
      if (!bytes) Fail("cannot read body_file " + file.string());
      item_.body = std::move(*bytes);
    } else {
      UnknownKey(key);
    }
  }

  void UpdateValue(const std::string& key, const std::string& value) {
    UpdateScenario& u = scenario_.update;
    if (PaceKey(key, value, u.pace)) return;
    if (key == "version") {
      u.version = value;
    } else if (key == "missing") {
      u.missing = Flag(key, value);
    } else if (key == "raw") {
      u.raw = value;
    } else {
      UnknownKey(key);
    }
  }

  std::string origin_;
  std::filesystem::path folder_;
  Scenario scenario_;
  int line_ = 0;
  std::string section_;
  bool sawItem_ = false;
  NewsItem item_;
  int itemLine_ = 0;
  bool itemHasId_ = false;
  std::set<int> itemIds_;
};

}  // namespace

Scenario ScenarioFile::Parse(std::string_view text, const std::string& origin,
                             const std::filesystem::path& folder) {
  return Parser(origin, folder).Run(text);
}

Scenario ScenarioFile::Load(const std::filesystem::path& file) {
  auto text = ReadBytes(file);
  if (!text) throw ScenarioError("cannot read scenario file " + file.string());
  return Parse(*text, file.string(), file.parent_path());
}

}  // namespace quorvane::sim
