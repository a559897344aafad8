#include "brand/SettingsTextCheck.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string_view>
#include <vector>

#include "base/AsciiText.h"
#include "settings/SettingsLines.h"

namespace quorvane {

namespace {

constexpr std::string_view kOpen = "<%%";
constexpr std::string_view kClose = "%%>";
constexpr std::string_view kMarker = "LastNewsId";
// Longer runs between "<%%" and "%%>" are text, not a tag someone meant.
constexpr std::size_t kLongestTagName = 40;

// One "<%%name%%>" or "<%%/name%%>" in the text.
struct TagMark {
  std::string written;  // between "<%%" (and "/") and "%%>", as written
  std::string name;     // the program's spelling, empty for an unknown tag
  bool end = false;
  std::size_t at = 0;     // offset of "<%%"
  std::size_t after = 0;  // offset just after "%%>"
  int line = 0;
};

std::vector<std::string> KnownNames() {
  std::vector<std::string> names = BrandTagOrder();
  for (const char* family : kBrandFamilies) {
    for (int n = 1; n <= kBrandFamilyMembers; ++n) names.push_back(family + std::to_string(n));
  }
  names.emplace_back(kMarker);
  return names;
}

const std::vector<std::string>& Known() {
  static const std::vector<std::string> names = KnownNames();
  return names;
}

std::optional<std::string> KnownName(std::string_view written) {
  for (const std::string& name : Known()) {
    if (EqualsNoCase(name, written)) return name;
  }
  return std::nullopt;
}

// Letters followed by digits, the letters those of a numbered family.
std::optional<std::string> FamilyOf(std::string_view written) {
  std::size_t digits = written.size();
  while (digits > 0 && IsAsciiDigit(written[digits - 1])) --digits;
  if (digits == written.size() || digits == 0) return std::nullopt;
  for (const char* family : kBrandFamilies) {
    if (EqualsNoCase(written.substr(0, digits), family)) return family;
  }
  return std::nullopt;
}

// Edits (insert, delete, replace) from a to b, ASCII letters folded;
// stops counting past `limit`.
std::size_t Distance(std::string_view a, std::string_view b, std::size_t limit) {
  if ((a.size() > b.size() ? a.size() - b.size() : b.size() - a.size()) > limit) return limit + 1;
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      const bool same = LowerAscii(a[i - 1]) == LowerAscii(b[j - 1]);
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

std::string UnknownTagMessage(std::string_view written) {
  std::string message = "unknown tag: the program reads no value of this name";
  const std::string* best = nullptr;
  std::size_t bestDistance = 3;
  for (const std::string& name : Known()) {
    const std::size_t d = Distance(written, name, 2);
    if (d < bestDistance) {
      bestDistance = d;
      best = &name;
    }
  }
  if (best != nullptr) message += " (did you mean " + *best + "?)";
  return message;
}

class LineIndex {
 public:
  explicit LineIndex(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n') starts_.push_back(i + 1);
    }
  }
  int LineOf(std::size_t offset) const {
    return static_cast<int>(std::upper_bound(starts_.begin(), starts_.end(), offset) -
                            starts_.begin());
  }

 private:
  std::vector<std::size_t> starts_{0};
};

class TextChecker {
 public:
  TextChecker(const std::string& text, const std::string& file)
      : text_(JoinLines(SplitLines(text))), file_(file), lines_(text_) {}

  SettingsTextReading Run() {
    reading_.read = CutBrandTags(text_);
    FindMarks();
    for (const std::string& name : Known()) PairUp(name);
    CheckSinglesAsRead();
    for (const char* family : kBrandFamilies) CheckFamilyAsRead(family);
    CheckMarker();
    return std::move(reading_);
  }

 private:
  void Add(int line, std::string subject, std::string message) {
    reading_.problems.push_back({file_, line, std::move(subject), std::move(message)});
  }

  void FindMarks() {
    for (std::size_t at = text_.find(kOpen); at != std::string::npos;
         at = text_.find(kOpen, at + 1)) {
      const std::size_t from = at + kOpen.size();
      const std::size_t close = text_.find(kClose, from);
      if (close == std::string::npos || close - from > kLongestTagName) continue;
      std::string_view inner(text_.data() + from, close - from);
      if (inner.find_first_of("\r\n<") != std::string_view::npos) continue;
      TagMark mark;
      mark.end = inner.starts_with('/');
      if (mark.end) inner.remove_prefix(1);
      mark.written = std::string(inner);
      mark.at = at;
      mark.after = close + kClose.size();
      mark.line = lines_.LineOf(at);
      Recognise(mark);
      marks_.push_back(std::move(mark));
    }
  }

  void Recognise(TagMark& mark) {
    const std::string_view written = mark.written;
    if (const auto name = KnownName(written)) {
      mark.name = *name;
      return;
    }
    // One line for a wrong name, however often it stands, its end tag included.
    if (!unknown_.insert(LowerAscii(written)).second) return;
    const std::string shown = std::string(kOpen) + mark.written + std::string(kClose);
    const std::string_view trimmed = Trim(written, kSpaceTab);
    if (trimmed.size() != written.size() && KnownName(trimmed)) {
      Add(mark.line, shown,
          "blanks inside the tag: the program looks for <%%" + *KnownName(trimmed) +
              "%%> and does not see this one");
      return;
    }
    if (const auto family = FamilyOf(written)) {
      Add(mark.line, shown,
          "never read: the program reads " + *family + "1 to " + *family +
              std::to_string(kBrandFamilyMembers) + ", numbered without leading zeros");
      return;
    }
    Add(mark.line, shown, UnknownTagMessage(trimmed));
  }

  // The start and end tags of one name. The program takes the first start
  // tag and the first end tag after it; whatever else stands is a mistake.
  void PairUp(const std::string& name) {
    const TagMark* first = nullptr;
    int open = 0;
    for (const TagMark& mark : marks_) {
      if (mark.name != name) continue;
      if (mark.end) {
        if (open == 0) Add(mark.line, name, "end tag without its start tag");
        open = std::max(open - 1, 0);
        if (first != nullptr && !alone_.contains(name)) {
          alone_.emplace(name, text_.substr(first->after, mark.at - first->after));
        }
        continue;
      }
      ++open;
      if (first == nullptr) {
        first = &mark;
        reading_.lines.emplace(name, mark.line);
      } else {
        Add(mark.line, name,
            "stands a second time (first on line " + std::to_string(first->line) +
                "): the program reads only the first");
      }
    }
    if (first != nullptr && !alone_.contains(name)) {
      Add(first->line, name,
          "no end tag <%%/" + name + "%%>: the program reads the value as empty");
    }
  }

  // The value of a tag read on its own, from the top of the text.
  std::optional<std::string> Alone(const std::string& name) const {
    const auto it = alone_.find(name);
    if (it == alone_.end()) return std::nullopt;
    return it->second;
  }

  void OutOfOrder(const std::string& name, const std::string& read) {
    Add(reading_.LineOf(name), name,
        read.empty()
            ? "out of order: it stands before the end of a value the program reads earlier, "
              "so the program reads it as empty; keep the tags in the template's order"
            : "out of order: the program reads another value for it than the one written "
              "here; keep the tags in the template's order");
  }

  void CheckSinglesAsRead() {
    for (const auto& [name, read] : reading_.read.singles) {
      const auto alone = Alone(name);
      if (alone && *alone != read) OutOfOrder(name, read);
    }
  }

  void CheckFamilyAsRead(const std::string& family) {
    const std::vector<std::string>& read = family == "Welcome"  ? reading_.read.welcomes
                                           : family == "Banner" ? reading_.read.banners
                                                                : reading_.read.links;
    for (int n = 1; n <= kBrandFamilyMembers; ++n) {
      const std::string name = family + std::to_string(n);
      const auto alone = Alone(name);
      if (!alone || alone->empty()) continue;
      const auto index = static_cast<std::size_t>(n - 1);
      if (index < read.size()) {
        if (read[index] != *alone) OutOfOrder(name, read[index]);
        continue;
      }
      const std::string gap = family + std::to_string(read.size() + 1);
      const auto gapValue = Alone(gap);
      if (!gapValue || gapValue->empty()) {
        Add(reading_.LineOf(name), name,
            "never read: " + gap + " is missing or empty, and the first gap ends the list");
      } else {
        OutOfOrder(name, "");
      }
    }
  }

  // The program finds the marker in any letter case when it reads it, but
  // its save looks for the exact spelling and replaces that whole line.
  void CheckMarker() {
    for (const TagMark& mark : marks_) {
      if (mark.name != kMarker || mark.end) continue;
      if (mark.written != kMarker) {
        Add(mark.line, std::string(kMarker),
            "write the tag as <%%LastNewsId%%>, in this letter case: the program's save looks "
            "for that spelling and would add a second marker, and then it keeps reading the "
            "old one");
      }
      for (const TagMark& other : marks_) {
        if (other.line == mark.line && other.name != kMarker) {
          Add(mark.line, std::string(kMarker),
              "shares its line with <%%" + other.written +
                  "%%>: the program replaces this whole line when it saves the news read last, "
                  "and that tag would be lost; give the marker a line of its own");
          break;
        }
      }
    }
  }

  const std::string text_;
  const std::string file_;
  const LineIndex lines_;
  std::vector<TagMark> marks_;
  std::map<std::string, std::string> alone_;
  std::set<std::string> unknown_;
  SettingsTextReading reading_;
};

}  // namespace

SettingsTextReading ReadSettingsTextForCheck(const std::string& text, const std::string& file) {
  return TextChecker(text, file).Run();
}

}  // namespace quorvane
