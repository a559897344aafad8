#include "app/ResultsCsvReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <optional>

#include "base/AsciiText.h"

namespace quorvane {

namespace {

constexpr std::array<std::string_view, kColumnCount> kColumnNames = {
    "No", "Keywords", "Searches", "Google", "Yahoo", "Msn"};

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view WithoutByteOrderMark(std::string_view bytes) {
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark)
    bytes.remove_prefix(kByteOrderMark.size());
  return bytes;
}

// Splits the text into records one at a time, counting lines so that a bad
// record can be named by the line it starts on.
class RecordReader {
 public:
  enum class Status { Record, End, Bad };

  RecordReader(std::string_view bytes, char separator) : bytes_(bytes), separator_(separator) {}

  Status Next(std::vector<std::string>& fields) {
    fields.clear();
    // Lines with nothing on them are no records.
    while (pos_ < bytes_.size() && IsBreak(bytes_[pos_])) SkipBreak();
    if (pos_ >= bytes_.size()) return Status::End;
    recordLine_ = line_;
    for (;;) {
      std::string field;
      if (bytes_[pos_] == '"') {
        if (!ReadQuoted(field)) return Status::Bad;
      } else {
        const std::size_t start = pos_;
        while (pos_ < bytes_.size() && bytes_[pos_] != separator_ && !IsBreak(bytes_[pos_]) &&
               bytes_[pos_] != '\0')
          ++pos_;
        if (pos_ < bytes_.size() && bytes_[pos_] == '\0') return NulByte();
        field.assign(bytes_.substr(start, pos_ - start));
      }
      fields.push_back(std::move(field));
      if (pos_ >= bytes_.size()) return Status::Record;
      if (bytes_[pos_] == separator_) {
        ++pos_;
        // A separator at the very end still opens one more (empty) field.
        if (pos_ >= bytes_.size() || IsBreak(bytes_[pos_])) {
          fields.emplace_back();
          if (pos_ < bytes_.size()) SkipBreak();
          return Status::Record;
        }
        continue;
      }
      SkipBreak();
      return Status::Record;
    }
  }

  int RecordLine() const { return recordLine_; }
  const std::string& Problem() const { return problem_; }

 private:
  static bool IsBreak(char c) { return c == '\r' || c == '\n'; }

  void SkipBreak() {
    if (bytes_[pos_] == '\r' && pos_ + 1 < bytes_.size() && bytes_[pos_ + 1] == '\n') ++pos_;
    ++pos_;
    ++line_;
  }

  Status NulByte() {
    recordLine_ = line_;
    problem_ = "holds a NUL byte: this is no text file";
    return Status::Bad;
  }

  bool ReadQuoted(std::string& field) {
    ++pos_;
    for (;;) {
      if (pos_ >= bytes_.size()) {
        problem_ = "opens a quote that is never closed";
        return false;
      }
      const char c = bytes_[pos_];
      if (c == '"') {
        if (pos_ + 1 < bytes_.size() && bytes_[pos_ + 1] == '"') {
          field += '"';
          pos_ += 2;
          continue;
        }
        ++pos_;
        break;
      }
      if (c == '\0') {
        NulByte();
        return false;
      }
      // A break inside quotes belongs to the field but still starts a line.
      if (c == '\n' || (c == '\r' && !(pos_ + 1 < bytes_.size() && bytes_[pos_ + 1] == '\n')))
        ++line_;
      field += c;
      ++pos_;
    }
    if (pos_ < bytes_.size() && bytes_[pos_] != separator_ && !IsBreak(bytes_[pos_])) {
      recordLine_ = line_;
      problem_ = "has text after the closing quote of a field";
      return false;
    }
    return true;
  }

  std::string_view bytes_;
  char separator_;
  std::size_t pos_ = 0;
  int line_ = 1;
  int recordLine_ = 1;
  std::string problem_;
};

// The column of each header field, or nullopt when the record is not the
// six-column header.
std::optional<std::array<int, kColumnCount>> HeaderColumns(const std::vector<std::string>& fields) {
  if (fields.size() != kColumnCount) return std::nullopt;
  std::array<int, kColumnCount> columns{};
  std::array<bool, kColumnCount> seen{};
  for (std::size_t f = 0; f < fields.size(); ++f) {
    int found = -1;
    for (int c = 0; c < kColumnCount; ++c)
      if (EqualsNoCase(fields[f], kColumnNames[static_cast<std::size_t>(c)])) found = c;
    if (found < 0 || seen[static_cast<std::size_t>(found)]) return std::nullopt;
    seen[static_cast<std::size_t>(found)] = true;
    columns[f] = found;
  }
  return columns;
}

ResultsText Bad(bool table, int line, std::string problem) {
  ResultsText text;
  text.table = table;
  text.badLine = line;
  text.problem = std::move(problem);
  return text;
}

}  // namespace

ResultsText ParseResultsText(std::string_view bytes, char separator) {
  RecordReader reader(WithoutByteOrderMark(bytes), separator);
  std::vector<std::string> fields;
  ResultsText text;
  RecordReader::Status status = reader.Next(fields);
  if (status == RecordReader::Status::End) return text;
  if (status == RecordReader::Status::Bad) return Bad(false, reader.RecordLine(), reader.Problem());

  const auto columns = HeaderColumns(fields);
  if (!columns && fields.size() != 1) {
    return Bad(false, reader.RecordLine(),
               "has " + std::to_string(fields.size()) +
                   " fields but is not the header No, Keywords, Searches, "
                   "Google, Yahoo, Msn");
  }
  if (!columns)
    text.rows.push_back(ResultRow{{std::string(), std::move(fields[0]), {}, {}, {}, {}}, false});

  text.table = columns.has_value();
  const std::size_t width = columns ? std::size_t{kColumnCount} : std::size_t{1};
  while ((status = reader.Next(fields)) == RecordReader::Status::Record) {
    if (fields.size() != width) {
      return Bad(text.table, reader.RecordLine(),
                 "has " + std::to_string(fields.size()) +
                     (fields.size() == 1 ? " field" : " fields") +
                     (columns ? ", the header has 6" : ", a list of phrases has 1"));
    }
    ResultRow row;
    if (columns) {
      for (std::size_t f = 0; f < width; ++f)
        row.cells[static_cast<std::size_t>((*columns)[f])] = std::move(fields[f]);
    } else {
      row.cells[kColKeywords] = std::move(fields[0]);
    }
    text.rows.push_back(std::move(row));
  }
  if (status == RecordReader::Status::Bad)
    return Bad(text.table, reader.RecordLine(), reader.Problem());
  return text;
}

bool StartsWithResultsHeader(std::string_view bytes, char separator) {
  RecordReader reader(WithoutByteOrderMark(bytes), separator);
  std::vector<std::string> fields;
  return reader.Next(fields) == RecordReader::Status::Record && HeaderColumns(fields).has_value();
}

ResultsFile ReadResultsFile(const std::filesystem::path& path) {
  ResultsFile file;
  const auto fail = [&](std::string problem) {
    file.readable = false;
    file.problem = std::move(problem);
    return file;
  };
  // Non-blocking, so that a pipe put in the file's place cannot hold the
  // window; only a regular file is read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return fail(std::strerror(errno));
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return fail("it is not a regular file");
  }
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(fd);
      return fail(std::strerror(error));
    }
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  file.text = ParseResultsText(bytes);
  return file;
}

std::string ResultsFileMessage(const std::string& path, const ResultsFile& file) {
  if (!file.readable) return "The file \"" + path + "\" cannot be opened: " + file.problem + ".";
  return "The file \"" + path + "\" is not a results table: line " +
         std::to_string(file.text.badLine) + " " + file.text.problem + ".";
}

}  // namespace quorvane
