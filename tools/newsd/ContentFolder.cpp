#include "newsd/ContentFolder.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <system_error>

#include "publisher/IniFile.h"
#include "publisher/VersionNumber.h"

namespace quorvane::newsd {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kNewsExtension = ".news";
constexpr std::string_view kUpdatePrefix = "/liveupdate/";
constexpr std::size_t kMaxUpdateDepth = 8;

std::optional<std::string> ReadSmallFile(const fs::path& file, std::string& why) {
  std::error_code ec;
  const auto size = fs::file_size(file, ec);
  if (ec) {
    why = "cannot be read: " + ec.message();
    return std::nullopt;
  }
  if (size > kMaxContentFile) {
    why = "larger than " + std::to_string(kMaxContentFile / 1024) + " KiB; left out";
    return std::nullopt;
  }
  std::ifstream in(file, std::ios::binary);
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad() || !in.is_open()) {
    why = "cannot be read";
    return std::nullopt;
  }
  return bytes;
}

// The news files and update descriptors a scan reads, sorted.
std::vector<fs::path> ContentFiles(const fs::path& folder, bool& newsReadable) {
  std::vector<fs::path> files;
  std::error_code ec;
  newsReadable = false;
  fs::directory_iterator news(folder / "news", ec);
  if (!ec) {
    newsReadable = true;
    for (; news != fs::directory_iterator(); news.increment(ec)) {
      if (ec) {
        newsReadable = false;
        break;
      }
      const std::string name = news->path().filename().string();
      if (name.ends_with(kNewsExtension) && !name.starts_with('.')) files.push_back(news->path());
    }
  }
  fs::directory_iterator updates(folder / "liveupdate", ec);
  if (!ec) {
    for (; updates != fs::directory_iterator(); updates.increment(ec)) {
      if (ec) break;
      const fs::path descriptor = updates->path() / kDescriptorName;
      std::error_code missing;
      if (!updates->path().filename().string().starts_with('.') &&
          fs::is_regular_file(descriptor, missing))
        files.push_back(descriptor);
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string Relative(const fs::path& file, const fs::path& folder) {
  return file.lexically_relative(folder).string();
}

void LoadNews(const fs::path& folder, const std::vector<fs::path>& files,
              ContentSnapshot& snapshot) {
  std::vector<NewsItem> items;
  std::map<std::int32_t, std::string> owners;  // id -> file
  for (const fs::path& file : files) {
    if (file.parent_path().filename() != "news") continue;
    const std::string name = Relative(file, folder);
    std::string why;
    const auto bytes = ReadSmallFile(file, why);
    if (!bytes) {
      snapshot.problems.push_back({name, why});
      continue;
    }
    NewsItemParse parsed = ParseNewsItem(*bytes);
    if (!parsed.item) {
      const std::string where = parsed.line > 0 ? "line " + std::to_string(parsed.line) + ": " : "";
      snapshot.problems.push_back({name, where + parsed.error + "; left out"});
      continue;
    }
    const auto [owner, fresh] = owners.emplace(parsed.item->id, name);
    if (!fresh) {
      snapshot.problems.push_back(
          {name, "Id " + parsed.item->idText + " is taken by " + owner->second + "; left out"});
      continue;
    }
    items.push_back(std::move(*parsed.item));
  }
  snapshot.news = NewsSet(std::move(items));
}

void LoadDescriptors(const fs::path& folder, const std::vector<fs::path>& files,
                     ContentSnapshot& snapshot) {
  for (const fs::path& file : files) {
    if (file.filename() != kDescriptorName) continue;
    const std::string name = Relative(file, folder);
    std::string why;
    auto bytes = ReadSmallFile(file, why);
    if (!bytes) {
      snapshot.problems.push_back({name, why});
      continue;
    }
    // Served all the same: the program reads a version it cannot use as
    // no update, which is what the publisher will see when trying it.
    const std::string version = ReadIniStringFromText(*bytes, "APPLICATION", "Version");
    if (!IsNewerVersion(version, "0")) {
      snapshot.problems.push_back(
          {name, version.empty()
                     ? "no Version in its [APPLICATION] section: no update is ever offered"
                     : "Version=" + version + " is not a number above 0: no update is offered"});
    }
    snapshot.descriptors.emplace(file.parent_path().filename().string(), std::move(*bytes));
  }
}

}  // namespace

ContentSnapshot LoadContent(const fs::path& folder) {
  ContentSnapshot snapshot;
  const std::vector<fs::path> files = ContentFiles(folder, snapshot.newsReadable);
  if (!snapshot.newsReadable) {
    snapshot.problems.push_back({"news",
                                 "cannot be read: every news request is answered "
                                 "CONNECTIONFAIL"});
  }
  LoadNews(folder, files, snapshot);
  LoadDescriptors(folder, files, snapshot);
  return snapshot;
}

std::string ContentFingerprint(const fs::path& folder) {
  bool newsReadable = false;
  std::string print;
  for (const fs::path& file : ContentFiles(folder, newsReadable)) {
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    const auto time = fs::last_write_time(file, ec).time_since_epoch().count();
    print += file.string() + '\n' + std::to_string(size) + ' ' + std::to_string(time) + '\n';
  }
  return print + (newsReadable ? "news" : "no news");
}

std::optional<fs::path> UpdateFile(const fs::path& folder, std::string_view path) {
  if (!path.starts_with(kUpdatePrefix)) return std::nullopt;
  std::string_view rest = path.substr(kUpdatePrefix.size());
  fs::path relative;
  std::size_t depth = 0;
  while (!rest.empty()) {
    const auto slash = rest.find('/');
    const std::string_view part = rest.substr(0, slash);
    if (part.empty() || part.starts_with('.') || ++depth > kMaxUpdateDepth ||
        part.find_first_of(std::string_view("\\\0", 2)) != std::string_view::npos)
      return std::nullopt;
    relative /= std::string(part);
    if (slash == std::string_view::npos) break;
    rest.remove_prefix(slash + 1);
    if (rest.empty()) return std::nullopt;  // a folder
  }
  if (depth < 2) return std::nullopt;
  std::error_code ec;
  const fs::path root = fs::canonical(folder / "liveupdate", ec);
  if (ec) return std::nullopt;
  const fs::path file = fs::canonical(root / relative, ec);
  if (ec) return std::nullopt;
  const auto [rootEnd, fileRest] =
      std::mismatch(root.begin(), root.end(), file.begin(), file.end());
  if (rootEnd != root.end() || fileRest == file.end()) return std::nullopt;
  if (!fs::is_regular_file(file, ec)) return std::nullopt;
  return file;
}

}  // namespace quorvane::newsd
