#include "app/ResultsFileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "app/FileKind.h"
#include "app/GroupThousands.h"
#include "app/ResultsCsvReader.h"
#include "app/ResultsWorkbookReader.h"

namespace quorvane {

namespace {

constexpr std::size_t kReadChunk = std::size_t{4} << 20;
// Reading is quick next to parsing: the first fifth of the progress.
constexpr double kReadShare = 0.2;

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

ResultsFile Refused(std::string problem) {
  ResultsFile file;
  file.readable = false;
  file.problem = std::move(problem);
  return file;
}

ResultsFile Cancelled() {
  ResultsFile file;
  file.text.cancelled = true;
  return file;
}

// The progress of one stage, scaled into [from, from + share).
ReadProgress Stage(const ReadProgress& progress, double from, double share) {
  if (!progress) return {};
  return [&progress, from, share](double done) { return progress(from + share * done); };
}

}  // namespace

ResultsFile ReadResultsFile(const std::filesystem::path& path, const ReadOptions& options) {
  // Non-blocking, so that a pipe put in the file's place cannot hold the
  // window; only a regular file is read.
  const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (fd.Get() < 0) return Refused(std::string("cannot be opened: ") + std::strerror(errno));
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode))
    return Refused("cannot be opened: it is not a regular file");
  const auto size = static_cast<std::size_t>(info.st_size);
  if (size > kMaxResultsBytes)
    return Refused("is " + ByteSizeText(size) + ", more than the " +
                   ByteSizeText(kMaxResultsBytes) + " a results file or keyword list may have");

  // Up to the size it had now: what is written to it meanwhile is left.
  // Not filled before it is read into: a big file's memory is touched once.
  const std::unique_ptr<char[]> buffer(new char[std::max<std::size_t>(size, 1)]);
  std::size_t have = 0;
  while (have < size) {
    const ssize_t got = ::read(fd.Get(), buffer.get() + have, std::min(kReadChunk, size - have));
    if (got == 0) break;  // cut shorter meanwhile
    if (got < 0) {
      if (errno == EINTR) continue;
      return Refused(std::string("cannot be read: ") + std::strerror(errno));
    }
    have += static_cast<std::size_t>(got);
    if (options.progress &&
        !options.progress(kReadShare * static_cast<double>(have) / static_cast<double>(size)))
      return Cancelled();
  }
  const std::string_view bytes(buffer.get(), have);

  const SniffedFile kind = SniffFile(bytes);
  const ReadProgress parsing = Stage(options.progress, kReadShare, 1 - kReadShare);
  if (kind.kind == FileKind::kZip) return ParseResultsWorkbook(bytes, parsing);
  if (kind.kind == FileKind::kBinary)
    return Refused("is " + std::string(kind.what) + ", not a results table or a list of phrases");
  ResultsFile file;
  file.text = options.linesArePhrases ? ParseResultsOrLines(bytes, parsing)
                                      : ParseResultsText(bytes, 0, parsing);
  return file;
}

std::string ResultsFileProblem(const ResultsFile& file) {
  if (!file.readable) return file.problem;
  if (file.text.cancelled || file.text.ok()) return {};
  return "is not a results table: " + std::string(file.text.place) + " " +
         std::to_string(file.text.badLine) + " " + file.text.problem;
}

std::string ResultsFileMessage(const std::string& path, const ResultsFile& file) {
  return "The file \"" + path + "\" " + ResultsFileProblem(file) + ".";
}

std::string StopsAtNulNote(const std::string& subject, int linesBefore) {
  return subject + " stops at a NUL byte after line " + std::to_string(linesBefore) +
         ": the lines before it were added, nothing after it.";
}

std::string ResultsFilesSummary(const std::vector<std::string>& lines, std::size_t shown) {
  std::string text = GroupThousands(static_cast<long long>(lines.size())) +
                     (lines.size() == 1 ? " file was" : " files were") + " not added:";
  for (std::size_t i = 0; i < lines.size() && i < shown; ++i) text += "\n" + lines[i];
  if (lines.size() > shown)
    text += "\n... and " + GroupThousands(static_cast<long long>(lines.size() - shown)) + " more.";
  return text;
}

}  // namespace quorvane
