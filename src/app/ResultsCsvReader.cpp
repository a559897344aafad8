#include "app/ResultsCsvReader.h"

#include <cstring>
#include <vector>

#include "app/ResultsLimits.h"
#include "keywords/KeywordFile.h"

namespace quorvane {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr char kSeparators[] = {',', ';', '\t'};
// Records between two calls of the progress callback: a few milliseconds
// of work.
constexpr int kRecordsPerProgress = 16384;
// A guarded cell is one byte longer than the cell it stands for.
constexpr std::size_t kMaxFieldBytes = kMaxCellBytes + 1;

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
        if (pos_ - start > kMaxFieldBytes) return TooLong();
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
  std::size_t Position() const { return pos_; }

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

  Status TooLong() {
    problem_ = CellTooLongProblem();
    return Status::Bad;
  }

  // Appends bytes_[from, to) (no quote among them) to the field, counting
  // the line breaks in it; false at a NUL byte.
  bool TakeQuotedRun(std::string& field, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
      const char c = bytes_[i];
      if (c == '\0') {
        pos_ = i;
        NulByte();
        return false;
      }
      // A break inside quotes belongs to the field but still starts a line.
      if (c == '\n' || (c == '\r' && !(i + 1 < bytes_.size() && bytes_[i + 1] == '\n'))) ++line_;
    }
    field.append(bytes_.substr(from, to - from));
    return true;
  }

  bool ReadQuoted(std::string& field) {
    ++pos_;
    for (;;) {
      const void* found = std::memchr(bytes_.data() + pos_, '"', bytes_.size() - pos_);
      const std::size_t quote =
          found == nullptr
              ? bytes_.size()
              : static_cast<std::size_t>(static_cast<const char*>(found) - bytes_.data());
      if (field.size() + (quote - pos_) > kMaxFieldBytes) {
        TooLong();
        return false;
      }
      if (!TakeQuotedRun(field, pos_, quote)) return false;
      if (quote >= bytes_.size()) {
        pos_ = quote;
        problem_ = "opens a quote that is never closed";
        return false;
      }
      pos_ = quote + 1;
      if (pos_ < bytes_.size() && bytes_[pos_] == '"') {
        field += '"';
        ++pos_;
        continue;
      }
      break;
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

// The LF bytes of a text: about its number of lines.
std::size_t LineBreaks(std::string_view bytes) {
  std::size_t count = 0;
  for (const char *p = bytes.data(), *end = p + bytes.size();
       (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))) !=
       nullptr;
       ++p)
    ++count;
  return count;
}

ResultsText Cancelled() {
  ResultsText text;
  text.cancelled = true;
  return text;
}

}  // namespace

SeparatorFound FindSeparator(std::string_view bytes) {
  bytes = WithoutByteOrderMark(bytes);
  std::vector<std::string> fields;
  SeparatorFound best;
  for (const char separator : kSeparators) {
    RecordReader reader(bytes, separator);
    if (reader.Next(fields) != RecordReader::Status::Record) continue;
    ResultsTextBuilder probe({});
    if (probe.Add(fields, 1) && probe.Table()) return {separator, true, fields.size()};
    // Ties go to the earlier one: a comma, then a semicolon.
    if (fields.size() > best.fields) best = {separator, false, fields.size()};
  }
  return best;
}

std::string_view SeparatorName(char separator) {
  if (separator == ';') return "semicolons";
  if (separator == '\t') return "tabs";
  return {};
}

ResultsText ParseResultsText(std::string_view bytes, char separator, const ReadProgress& progress) {
  bytes = WithoutByteOrderMark(bytes);
  if (separator == 0) separator = FindSeparator(bytes).separator;
  ResultsTextBuilder::Form form;
  form.separatorName = SeparatorName(separator);
  ResultsTextBuilder builder(form);
  builder.Expect(LineBreaks(bytes));
  RecordReader reader(bytes, separator);
  std::vector<std::string> fields;
  RecordReader::Status status;
  int sinceProgress = 0;
  while ((status = reader.Next(fields)) == RecordReader::Status::Record) {
    if (!builder.Add(fields, reader.RecordLine())) break;
    if (progress && ++sinceProgress == kRecordsPerProgress) {
      sinceProgress = 0;
      if (!progress(static_cast<double>(reader.Position()) / static_cast<double>(bytes.size())))
        return Cancelled();
    }
  }
  if (status == RecordReader::Status::Bad) builder.Fail(reader.RecordLine(), reader.Problem());
  ResultsText text = builder.Finish();
  text.separator = separator;
  return text;
}

bool StartsWithResultsHeader(std::string_view bytes, char separator) {
  if (separator == 0) return FindSeparator(bytes).header;
  RecordReader reader(WithoutByteOrderMark(bytes), separator);
  std::vector<std::string> fields;
  if (reader.Next(fields) != RecordReader::Status::Record) return false;
  ResultsTextBuilder probe({});
  return probe.Add(fields, 1) && probe.Table();
}

ResultsText ParseResultsOrLines(std::string_view bytes, const ReadProgress& progress) {
  const std::size_t nul = bytes.find('\0');
  const std::string_view before = bytes.substr(0, nul);
  const SeparatorFound found = FindSeparator(before);
  if (found.header) {
    ResultsText text = ParseResultsText(before, found.separator, progress);
    if (nul != std::string_view::npos && text.ok() && !text.cancelled)
      text.linesBeforeNul = static_cast<int>(SplitKeywordLines(before).size());
    return text;
  }

  ResultsTextBuilder builder({});
  std::vector<std::string> lines = SplitKeywordLines(before);
  builder.Expect(lines.size());
  // The first line that holds something tells whether this is a table
  // that lacks its header: a phrase holds no semicolon or tab between
  // fields as a spreadsheet's cells would.
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].empty()) continue;
    for (const char separator : {';', '\t'}) {
      std::vector<std::string> fields;
      RecordReader reader(lines[i], separator);
      if (reader.Next(fields) == RecordReader::Status::Record && fields.size() > 1) {
        builder.Fail(static_cast<int>(i) + 1,
                     "has " + std::to_string(fields.size()) + " fields separated by " +
                         std::string(SeparatorName(separator)) +
                         ", and no header line names them No, Keywords, Searches, Google, "
                         "Yahoo, Msn");
        return builder.Finish();
      }
    }
    break;
  }
  std::vector<std::string> one(1);
  int sinceProgress = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].empty()) continue;
    one.resize(1);
    one[0] = std::move(lines[i]);
    if (!builder.Add(one, static_cast<int>(i) + 1)) break;
    if (progress && ++sinceProgress == kRecordsPerProgress) {
      sinceProgress = 0;
      if (!progress(static_cast<double>(i) / static_cast<double>(lines.size()))) return Cancelled();
    }
  }
  ResultsText text = builder.Finish();
  if (nul != std::string_view::npos && text.ok())
    text.linesBeforeNul = static_cast<int>(lines.size());
  return text;
}

}  // namespace quorvane
