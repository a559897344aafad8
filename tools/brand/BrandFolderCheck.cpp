#include "brand/BrandFolderCheck.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <system_error>

#include "base/AsciiText.h"
#include "base/FileError.h"
#include "brand/IdentityCheck.h"
#include "brand/SettingsTextCheck.h"
#include "settings/ContainerBytes.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsFileState.h"

namespace quorvane {

namespace {

namespace fs = std::filesystem;

constexpr const char* kSettings = "dbsettings.dat";
// The welcome page's viewer reads no larger picture.
constexpr std::uintmax_t kLargestPagePicture = 16 * 1024 * 1024;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Extension(std::string_view name) {
  const auto slash = name.find_last_of("/\\");
  if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
  const auto dot = name.find_last_of('.');
  return dot == std::string_view::npos ? "" : LowerAscii(name.substr(dot + 1));
}

// N of "bannerN.dat" for N from 1 to 16 (the program's spelling), else 0.
int BannerFileNumber(std::string_view name) {
  if (!name.starts_with("banner") || !name.ends_with(".dat")) return 0;
  const std::string_view digits = name.substr(6, name.size() - 10);
  int n = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
  if (error != std::errc() || end != digits.data() + digits.size() || digits.starts_with('0'))
    return 0;
  return n >= 1 && n <= 16 ? n : 0;
}

std::string BannerFile(int n) {
  return "banner" + std::to_string(n) + ".dat";
}

// The values of src= and background= attributes in an HTML text.
std::vector<std::string> PictureReferences(std::string_view html) {
  std::vector<std::string> names;
  const std::string lower = LowerAscii(html);
  for (const std::string_view attribute : {"src", "background"}) {
    for (std::size_t at = lower.find(attribute); at != std::string::npos;
         at = lower.find(attribute, at + 1)) {
      if (at == 0 || !IsBlank(lower[at - 1], kWhiteSpace)) continue;
      std::size_t p = at + attribute.size();
      while (p < lower.size() && IsBlank(lower[p], kWhiteSpace)) ++p;
      if (p >= lower.size() || lower[p] != '=') continue;
      ++p;
      while (p < lower.size() && IsBlank(lower[p], kWhiteSpace)) ++p;
      if (p >= lower.size()) continue;
      std::size_t end;
      if (lower[p] == '"' || lower[p] == '\'') {
        end = lower.find(lower[p], p + 1);
        ++p;
      } else {
        end = lower.find_first_of(" \t\r\n>", p);
      }
      if (end == std::string::npos) end = lower.size();
      names.emplace_back(html.substr(p, end - p));
    }
  }
  return names;
}

std::string PercentDecoded(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned value = 0;
    if (text[i] == '%' && i + 2 < text.size() &&
        std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16).ptr ==
            text.data() + i + 3) {
      out += static_cast<char>(value);
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// Brace depth of a style sheet outside its comments and quoted strings;
// 0 when every block is closed, -1 when one closes that never opened.
int OpenBlocks(std::string_view sheet) {
  int depth = 0;
  for (std::size_t i = 0; i < sheet.size(); ++i) {
    const char c = sheet[i];
    if (c == '/' && i + 1 < sheet.size() && sheet[i + 1] == '*') {
      const auto close = sheet.find("*/", i + 2);
      if (close == std::string_view::npos) return depth == 0 ? 1 : depth;
      i = close + 1;
    } else if (c == '"' || c == '\'') {
      const auto close = sheet.find(c, i + 1);
      if (close == std::string_view::npos) return depth == 0 ? 1 : depth;
      i = close;
    } else if (c == '{') {
      ++depth;
    } else if (c == '}' && --depth < 0) {
      return -1;
    }
  }
  return depth;
}

class FolderChecker {
 public:
  FolderChecker(const fs::path& folder, const BrandCheckOptions& options)
      : folder_(folder), options_(options), pictures_(*options.pictures) {}

  BrandProblems Run() {
    ListFolder();
    CheckSettings();
    CheckBannerFiles();
    CheckSkin();
    CheckIcon();
    CheckUpdater();
    IdentityReport identity = CheckIdentity(folder_, pictures_);
    Append(std::move(identity.problems));
    known_.insert(identity.files.begin(), identity.files.end());
    CheckStrayFiles();
    SortProblems(problems_);
    return std::move(problems_);
  }

 private:
  void Add(std::string file, int line, std::string subject, std::string message) {
    problems_.push_back({std::move(file), line, std::move(subject), std::move(message)});
  }
  void Append(BrandProblems more) {
    for (BrandProblem& p : more) problems_.push_back(std::move(p));
  }

  bool Has(const std::string& name) const { return entries_.contains(name); }

  // Every file below the folder, by its path relative to it: the build
  // ships them all, subfolders included.
  void ListFolder() {
    std::error_code ec;
    fs::recursive_directory_iterator it(folder_, ec);
    if (ec) throw FileError(folder_, "cannot read the brand folder", ec.value());
    for (; it != fs::recursive_directory_iterator(); it.increment(ec)) {
      if (ec) throw FileError(folder_, "cannot read the brand folder", ec.value());
      std::error_code kind;
      if (!it->is_directory(kind)) {
        entries_.insert(it->path().lexically_relative(folder_).generic_string());
      }
    }
  }

  void CheckSettings() {
    known_.insert(kSettings);
    if (!Has(kSettings)) {
      Add(kSettings, 0, "",
          "missing: without it the program shows no brand at all; write one with "
          "quorvane-brand template and encrypt it");
      return;
    }
    errno = 0;
    std::ifstream probe(folder_ / kSettings, std::ios::binary);
    if (!probe) {
      Add(kSettings, 0, "", std::string("cannot be read: ") + std::strerror(errno));
      return;
    }
    const std::string bytes = ReadAll(folder_ / kSettings);
    std::string text;
    const CryptError outcome = DecryptBytes(bytes, kSettingsPassword, text);
    const SettingsFileTrouble trouble = JudgeSettingsFile(outcome, bytes);
    switch (trouble) {
      case SettingsFileTrouble::None:
        break;
      case SettingsFileTrouble::PlainText:
        Add(kSettings, 0, "",
            DescribeSettingsTrouble(trouble) +
                ": the program cannot read it; encrypt it with quorvane-brand encrypt (the "
                "lines below count the lines of this text)");
        text = bytes;
        break;
      case SettingsFileTrouble::WrongPassword:
      case SettingsFileTrouble::Damaged:
        Add(kSettings, 0, "", DescribeSettingsTrouble(trouble));
        return;
    }
    settingsRead_ = true;
    const SettingsTextReading reading = ReadSettingsTextForCheck(text, kSettings);
    Append(reading.problems);
    Append(CheckBrandValues(reading, kSettings));
    banners_ = SplitCandidates(reading.read.banners);
    tagLines_ = reading.lines;
    CheckWelcomePictures(reading);
    if (options_.askNews) AskNews(reading);
  }

  void AskNews(const SettingsTextReading& reading) {
    const auto identity = NewsIdentityOf(reading.read);
    if (!identity || identity->address.empty()) return;
    if (const auto trouble = options_.askNews(*identity)) {
      Add(kSettings, reading.LineOf(identity->addressTag), identity->addressTag, *trouble);
    }
  }

  void CheckWelcomePictures(const SettingsTextReading& reading) {
    for (std::size_t i = 0; i < reading.read.welcomes.size(); ++i) {
      const std::string tag = "Welcome" + std::to_string(i + 1);
      const int line = reading.LineOf(tag);
      for (const std::string& reference : PictureReferences(reading.read.welcomes[i])) {
        CheckWelcomePicture(tag, line, reference);
      }
    }
  }

  void CheckWelcomePicture(const std::string& tag, int line, const std::string& reference) {
    const std::string lower = LowerAscii(reference);
    if (reference.empty() || lower.starts_with("data:")) return;  // inline: nothing to read
    std::string name = reference;
    if (lower.starts_with("file:")) {
      name = reference.substr(5);
      while (name.starts_with("//")) name.erase(0, 1);
    } else if (const auto colon = reference.find(':');
               colon != std::string::npos && reference.find('/') > colon) {
      Add(kSettings, line, tag,
          "names the picture " + reference +
              ": the welcome page loads nothing from the network, so it shows no picture there; "
              "put the picture into the brand folder and name it by its file name");
      return;
    }
    name = PercentDecoded(name.substr(0, name.find_first_of("?#")));
    if (name.starts_with('/')) {
      Add(kSettings, line, tag,
          "names the picture " + reference +
              " by an absolute path: the welcome page shows only pictures beside the program; "
              "name it by its file name");
      return;
    }
    name = fs::path(name).lexically_normal().generic_string();
    if (name.starts_with("..")) {
      Add(kSettings, line, tag,
          "names the picture " + reference +
              " outside the brand folder: the welcome page shows only pictures of the program "
              "folder; put it into the brand folder");
      return;
    }
    known_.insert(name);
    std::error_code ec;
    const fs::path file = folder_ / name;
    if (!fs::is_regular_file(file, ec)) {
      Add(name, 0, "", "missing: " + tag + " shows it");
      return;
    }
    if (fs::file_size(file, ec) > kLargestPagePicture) {
      Add(name, 0, "", "larger than 16 MiB: the welcome page does not show it");
      return;
    }
    if (const std::string trouble = pictures_.Trouble(PictureUse::Page, ReadAll(file), "");
        !trouble.empty()) {
      Add(name, 0, "", "does not load as a picture (" + tag + " shows it): " + trouble);
    }
  }

  void CheckBannerFiles() {
    std::set<int> named;
    for (const BrandCandidate& banner : banners_) {
      const std::string file = BannerFile(banner.number);
      const std::string tag = "Banner" + std::to_string(banner.number);
      named.insert(banner.number);
      known_.insert(file);
      if (banner.first.empty()) continue;
      const bool animated = LowerAscii(banner.first).find(".gif") != std::string::npos;
      const std::string format = animated ? "gif" : Extension(banner.first);
      if (!animated && !format.empty() && !pictures_.KnowsFormat(format)) {
        const auto line = tagLines_.find(tag);
        Add(kSettings, line == tagLines_.end() ? 0 : line->second, tag,
            "the picture name " + banner.first + " asks for the format ." + format +
                ", which the program cannot show");
        continue;
      }
      if (!Has(file)) {
        Add(file, 0, "", "missing: the banner strip is hidden whenever " + tag + " is chosen");
        continue;
      }
      const PictureUse use = animated ? PictureUse::Animation : PictureUse::Still;
      if (const std::string trouble = pictures_.Trouble(use, ReadAll(folder_ / file), format);
          !trouble.empty()) {
        const std::string as = animated         ? "an animated GIF"
                               : format.empty() ? "a picture"
                                                : "a ." + format + " picture";
        Add(file, 0, "",
            "does not load as " + as + ", as " + tag + "'s name " + banner.first +
                " says: " + trouble);
      }
    }
    for (const std::string& entry : entries_) {
      const int n = BannerFileNumber(entry);
      if (n != 0 && settingsRead_ && !named.contains(n)) {
        known_.insert(entry);
        Add(entry, 0, "",
            "no Banner" + std::to_string(n) + " tag the program reads names it: it is never shown");
      }
    }
  }

  void CheckSkin() {
    const std::string name = "mainskin.dat";
    known_.insert(name);
    if (!Has(name)) return;
    const std::string sheet = ReadAll(folder_ / name);
    if (sheet.find('\0') != std::string::npos) {
      Add(name, 0, "", "not a text: the skin is a Qt style sheet, written as plain text");
    } else if (Trim(sheet, kControlsAndSpace).empty()) {
      Add(name, 0, "", "empty: it changes nothing; leave the file out for the built-in look");
    } else if (const int open = OpenBlocks(sheet); open != 0) {
      Add(name, 0, "",
          open < 0 ? "a } closes a block that was never opened: Qt drops the whole style sheet"
                   : "a block, comment or quoted string is not closed: Qt drops the whole style "
                     "sheet");
    }
  }

  void CheckIcon() {
    const std::string name = "main.ico";
    known_.insert(name);
    if (!Has(name)) return;
    if (const std::string trouble =
            pictures_.Trouble(PictureUse::Icon, ReadAll(folder_ / name), "");
        !trouble.empty()) {
      Add(name, 0, "", "does not load as an icon: " + trouble);
    }
  }

  void CheckUpdater() {
    const std::string name = "Updater.exe";
    known_.insert(name);
    if (!Has(name)) return;
    struct stat info {};
    if (::stat((folder_ / name).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
      Add(name, 0, "", "not a file: the live update starts it as a program");
      return;
    }
    const std::string head = ReadAll(folder_ / name).substr(0, 4);
    if (head !=
            "\x7f"
            "ELF" &&
        !head.starts_with("#!")) {
      Add(name, 0, "",
          "neither a program nor a script starting with #!: the live update cannot start it");
    } else if ((info.st_mode & S_IXUSR) == 0) {
      Add(name, 0, "", "not executable: the live update cannot start it (chmod +x Updater.exe)");
    }
  }

  // Without the settings text it is not known which files its banners and
  // welcome pages name, so nothing is called stray then.
  void CheckStrayFiles() {
    for (const std::string& entry : entries_) {
      if (known_.contains(entry)) continue;
      if (!settingsRead_ && entry != "dbsettings.sim") continue;
      if (entry == "dbsettings.sim") {
        Add(entry, 0, "",
            "the program's working copy of the settings, in clear text: delete it before "
            "shipping");
        continue;
      }
      Add(entry, 0, "",
          "not a brand file: the program never reads it, yet it would ship beside the program");
    }
  }

  const fs::path folder_;
  const BrandCheckOptions& options_;
  const PictureReader& pictures_;
  std::set<std::string> entries_;
  std::set<std::string> known_;
  bool settingsRead_ = false;
  std::vector<BrandCandidate> banners_;
  std::map<std::string, int> tagLines_;
  BrandProblems problems_;
};

}  // namespace

BrandProblems CheckBrandFolder(const fs::path& folder, const BrandCheckOptions& options) {
  return FolderChecker(folder, options).Run();
}

}  // namespace quorvane
