#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "newsd/NewsItems.h"

namespace quorvane::newsd {

// The folder the publisher edits:
//
//   FOLDER/news/*.news                        one file per news item
//   FOLDER/liveupdate/NAME/mainappupdate.inf  the update descriptor of the
//                                             program whose update address
//                                             ends in /liveupdate/NAME/
//   FOLDER/liveupdate/NAME/...                the release files
//
// Other files in news/ are left alone (an editor's back-ups, drafts).

// Something of the folder that is not served, and why.
struct ContentProblem {
  std::string file;  // relative to the folder
  std::string message;
};

// What one scan of the folder found: everything a request is answered
// from, except the release files, which are read when asked for.
struct ContentSnapshot {
  bool newsReadable = false;  // news/ could be listed
  NewsSet news;
  // "NAME" -> the bytes of liveupdate/NAME/mainappupdate.inf.
  std::map<std::string, std::string, std::less<>> descriptors;
  std::vector<ContentProblem> problems;
};

inline constexpr std::string_view kDescriptorName = "mainappupdate.inf";
// A news file or descriptor larger than this is left out.
inline constexpr std::uintmax_t kMaxContentFile = kMaxNewsBody + 64 * 1024;

ContentSnapshot LoadContent(const std::filesystem::path& folder);

// Names, sizes and change times of every file a scan reads: equal
// fingerprints need no new scan.
std::string ContentFingerprint(const std::filesystem::path& folder);

// The release file that the decoded request path `path` ("/liveupdate/
// NAME/...") names: a regular file inside FOLDER/liveupdate, reached
// without "." or ".." parts, hidden names or a link leading out of it.
std::optional<std::filesystem::path> UpdateFile(const std::filesystem::path& folder,
                                                std::string_view path);

}  // namespace quorvane::newsd
