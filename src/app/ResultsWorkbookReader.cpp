#include "app/ResultsWorkbookReader.h"

#include <expat.h>
#include <zip.h>

#include <charconv>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "app/GroupThousands.h"
#include "app/ResultsLimits.h"

namespace quorvane {

namespace {

constexpr std::size_t kChunkBytes = std::size_t{1} << 16;
// A sheet has columns A to XFD.
constexpr std::size_t kMaxSheetColumns = 16384;
// Expat joins a namespace and a local name with this; neither holds it.
constexpr char kNamespaceSeparator = ' ';

std::string_view LocalName(const char* name) {
  const std::string_view full(name);
  const std::size_t at = full.rfind(kNamespaceSeparator);
  return at == std::string_view::npos ? full : full.substr(at + 1);
}

// The value of the attribute with that local name: without a namespace,
// or (`qualified`) with one, as r:id is.
const char* Attribute(const char** attributes, std::string_view local, bool qualified = false) {
  for (const char** a = attributes; *a != nullptr; a += 2) {
    const std::string_view name(a[0]);
    const bool hasNamespace = name.find(kNamespaceSeparator) != std::string_view::npos;
    if (hasNamespace == qualified && LocalName(a[0]) == local) return a[1];
  }
  return nullptr;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// A part name from a relationship's target: absolute from the package's
// root, or relative to the folder of the part that names it.
std::string ResolvePart(std::string_view folder, std::string_view target) {
  std::string joined = !target.empty() && target.front() == '/'
                           ? std::string(target.substr(1))
                           : std::string(folder) + std::string(target);
  std::vector<std::string> segments;
  std::size_t start = 0;
  while (start <= joined.size()) {
    const std::size_t slash = std::min(joined.find('/', start), joined.size());
    const std::string segment = joined.substr(start, slash - start);
    if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
      segments.push_back(segment);
    }
    start = slash + 1;
  }
  std::string part;
  for (const std::string& segment : segments) part += (part.empty() ? "" : "/") + segment;
  return part;
}

std::string FolderOf(std::string_view part) {
  const std::size_t slash = part.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(part.substr(0, slash + 1));
}

// The relationships part of a part: xl/workbook.xml -> xl/_rels/workbook.xml.rels.
std::string RelationshipsOf(std::string_view part) {
  const std::string folder = FolderOf(part);
  return folder + "_rels/" + std::string(part.substr(folder.size())) + ".rels";
}

// A cell's number as the table keeps counts: a whole number as its digits
// (grouped by thousands when the cell's format groups them), anything else
// as the sheet writes it.
std::string NumberText(const std::string& value, bool grouped) {
  double number = 0;
  const char* end = value.data() + value.size();
  const auto [at, error] = std::from_chars(value.data(), end, number);
  if (error != std::errc() || at != end || !std::isfinite(number)) return value;
  // Beyond 15 digits a double no longer holds every whole number.
  if (number != std::floor(number) || std::fabs(number) >= 1e15) return value;
  const auto whole = static_cast<long long>(number);
  if (grouped) return GroupThousands(whole);
  return std::to_string(whole);
}

void AppendUtf8(std::string& out, unsigned code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// A workbook's text writes a character XML cannot carry (a control byte)
// as _xHHHH_, and an underscore that would look like one as _x005F_;
// spreadsheets show the character.
std::string DecodeEscapes(std::string text) {
  if (text.find("_x") == std::string::npos) return text;
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    unsigned code = 0;
    if (text.compare(i, 2, "_x") == 0 && i + 7 <= text.size() && text[i + 6] == '_' &&
        std::from_chars(text.data() + i + 2, text.data() + i + 6, code, 16).ptr ==
            text.data() + i + 6) {
      AppendUtf8(out, code);
      i += 7;
      continue;
    }
    out += text[i++];
  }
  return out;
}

// Receives what expat reads of one part.
class XmlHandler {
 public:
  virtual ~XmlHandler() = default;
  virtual void Start(std::string_view name, const char** attributes) = 0;
  virtual void End(std::string_view /*name*/) {}
  virtual void Text(std::string_view /*text*/) {}

  // Ends the parse: the handler has what it wanted, or found the text bad.
  void Stop() {
    stop = true;
    if (parser != nullptr) XML_StopParser(parser, XML_FALSE);
  }

  XML_Parser parser = nullptr;
  bool stop = false;
  bool doctype = false;
};

struct Relationship {
  std::string id;
  std::string type;
  std::string target;
};

class RelationshipsHandler final : public XmlHandler {
 public:
  void Start(std::string_view name, const char** attributes) override {
    if (name != "Relationship") return;
    const char* id = Attribute(attributes, "Id");
    const char* type = Attribute(attributes, "Type");
    const char* target = Attribute(attributes, "Target");
    if (id != nullptr && target != nullptr)
      found.push_back({id, type != nullptr ? type : "", target});
  }
  std::vector<Relationship> found;
};

// The relationship id of the workbook's first sheet.
class WorkbookHandler final : public XmlHandler {
 public:
  void Start(std::string_view name, const char** attributes) override {
    if (name != "sheet") return;
    if (const char* id = Attribute(attributes, "id", /*qualified=*/true)) firstSheet = id;
    Stop();
  }
  std::string firstSheet;
};

// Which cell formats group thousands ("#,##0"): by the index a cell's s
// attribute gives.
class StylesHandler final : public XmlHandler {
 public:
  void Start(std::string_view name, const char** attributes) override {
    if (name == "numFmt") {
      const char* id = Attribute(attributes, "numFmtId");
      const char* code = Attribute(attributes, "formatCode");
      if (id != nullptr && code != nullptr &&
          std::string_view(code).find("#,##0") != std::string_view::npos)
        groupingFormats_.push_back(std::atoi(id));
    } else if (name == "cellXfs") {
      inCellFormats_ = true;
    } else if (name == "xf" && inCellFormats_) {
      const char* id = Attribute(attributes, "numFmtId");
      grouped.push_back(id != nullptr && Groups(std::atoi(id)));
    }
  }
  void End(std::string_view name) override {
    if (name == "cellXfs") inCellFormats_ = false;
  }
  std::vector<bool> grouped;

 private:
  bool Groups(int format) const {
    // The built-in formats 3 and 4 are #,##0 and #,##0.00.
    if (format == 3 || format == 4) return true;
    for (const int id : groupingFormats_)
      if (id == format) return true;
    return false;
  }
  std::vector<int> groupingFormats_;
  bool inCellFormats_ = false;
};

// Collects the text of rich or plain text elements (<t>), leaving out the
// phonetic guides (<rPh>) that East Asian spreadsheets add. A text past
// the cell limit is kept one byte longer than the limit, so that a cell
// using it is found too long.
class TextCollector {
 public:
  void Start(std::string_view name) {
    if (name == "rPh") ++phonetic_;
    if (name == "t" && phonetic_ == 0) inText_ = true;
  }
  void End(std::string_view name) {
    if (name == "rPh" && phonetic_ > 0) --phonetic_;
    if (name == "t") inText_ = false;
  }
  void Text(std::string& into, std::string_view text) const {
    if (!inText_) return;
    const std::size_t room = kMaxCellBytes + 1 - std::min(into.size(), kMaxCellBytes + 1);
    into.append(text.substr(0, room));
  }
  void Reset() {
    phonetic_ = 0;
    inText_ = false;
  }

 private:
  int phonetic_ = 0;
  bool inText_ = false;
};

class SharedStringsHandler final : public XmlHandler {
 public:
  explicit SharedStringsHandler(std::vector<std::string>& strings) : strings_(strings) {}
  void Start(std::string_view name, const char**) override {
    if (name == "si") {
      strings_.emplace_back();
      inItem_ = true;
      text_.Reset();
    }
    if (inItem_) text_.Start(name);
  }
  void End(std::string_view name) override {
    if (inItem_) text_.End(name);
    if (name == "si") inItem_ = false;
  }
  void Text(std::string_view text) override {
    if (inItem_) text_.Text(strings_.back(), text);
  }

 private:
  std::vector<std::string>& strings_;
  TextCollector text_;
  bool inItem_ = false;
};

// The rows of the sheet, into the table's builder.
class SheetHandler final : public XmlHandler {
 public:
  SheetHandler(ResultsTextBuilder& builder, const std::vector<std::string>& strings,
               const std::vector<bool>& grouped)
      : builder_(builder), strings_(strings), grouped_(grouped) {}

  void Start(std::string_view name, const char** attributes) override {
    if (name == "row") {
      const char* r = Attribute(attributes, "r");
      const int number = r != nullptr ? std::atoi(r) : 0;
      row_ = number > 0 ? number : row_ + 1;
      column_ = -1;
      fields_.clear();
    } else if (name == "c") {
      StartCell(attributes);
    } else if (inCell_) {
      if (name == "v") inValue_ = true;
      if (name == "is") inInline_ = true;
      if (inInline_) text_.Start(name);
    }
  }

  void End(std::string_view name) override {
    if (name == "row") {
      EndRow();
    } else if (name == "c") {
      EndCell();
    } else if (inCell_) {
      if (name == "v") inValue_ = false;
      if (inInline_) text_.End(name);
      if (name == "is") inInline_ = false;
    }
  }

  void Text(std::string_view text) override {
    if (inValue_) {
      const std::size_t room = kMaxCellBytes + 1 - std::min(value_.size(), kMaxCellBytes + 1);
      value_.append(text.substr(0, room));
    } else if (inInline_) {
      text_.Text(inline_, text);
    }
  }

 private:
  // A cell reference's column: "C7" -> 2; -1 without letters.
  static int ReferenceColumn(const char* reference) {
    long column = 0;
    const char* c = reference;
    for (; *c >= 'A' && *c <= 'Z'; ++c) {
      column = column * 26 + (*c - 'A' + 1);
      if (column > static_cast<long>(kMaxSheetColumns)) return static_cast<int>(kMaxSheetColumns);
    }
    return c == reference ? -1 : static_cast<int>(column - 1);
  }

  void StartCell(const char** attributes) {
    inCell_ = true;
    value_.clear();
    inline_.clear();
    text_.Reset();
    const char* reference = Attribute(attributes, "r");
    const int column = reference != nullptr ? ReferenceColumn(reference) : -1;
    column_ = column >= 0 ? column : column_ + 1;
    const char* type = Attribute(attributes, "t");
    type_ = type != nullptr ? type : "n";
    const char* style = Attribute(attributes, "s");
    style_ = style != nullptr ? std::atoi(style) : 0;
  }

  void EndCell() {
    inCell_ = inValue_ = inInline_ = false;
    if (static_cast<std::size_t>(column_) >= kMaxSheetColumns) {
      Fail("has a cell past the sheet's last column");
      return;
    }
    std::string text;
    if (type_ == "s") {
      std::size_t index = 0;
      const auto [at, error] = std::from_chars(value_.data(), value_.data() + value_.size(), index);
      if (value_.empty() || error != std::errc() || index >= strings_.size()) {
        Fail("names a shared text the workbook does not hold");
        return;
      }
      text = DecodeEscapes(strings_[index]);
    } else if (type_ == "inlineStr") {
      text = DecodeEscapes(std::move(inline_));
    } else if (type_ == "b") {
      text = value_.empty() ? "" : value_ == "0" ? "FALSE" : "TRUE";
    } else if (type_ == "n") {
      const bool grouped = style_ >= 0 && static_cast<std::size_t>(style_) < grouped_.size() &&
                           grouped_[static_cast<std::size_t>(style_)];
      text = value_.empty() ? std::string() : NumberText(value_, grouped);
    } else {
      // "str" (a formula's text), "e" (an error value), "d" (a date).
      text = type_ == "str" ? DecodeEscapes(std::move(value_)) : std::move(value_);
    }
    if (text.size() > kMaxCellBytes) {
      Fail(CellTooLongProblem());
      return;
    }
    if (text.empty()) return;
    const auto at = static_cast<std::size_t>(column_);
    if (fields_.size() <= at) fields_.resize(at + 1);
    fields_[at] = std::move(text);
  }

  void EndRow() {
    // Cells left empty count as absent: a row of empty cells is an empty
    // row, and the empty cells at a row's end are left out.
    while (!fields_.empty() && fields_.back().empty()) fields_.pop_back();
    if (fields_.empty() || stop) return;
    if (!builder_.Add(fields_, row_)) Stop();
  }

  void Fail(std::string problem) {
    builder_.Fail(row_, std::move(problem));
    Stop();
  }

  ResultsTextBuilder& builder_;
  const std::vector<std::string>& strings_;
  const std::vector<bool>& grouped_;
  std::vector<std::string> fields_;
  int row_ = 0;
  int column_ = -1;
  bool inCell_ = false;
  bool inValue_ = false;
  bool inInline_ = false;
  std::string type_;
  int style_ = 0;
  std::string value_;
  std::string inline_;
  TextCollector text_;
};

struct ZipCloser {
  void operator()(zip_t* zip) const { zip_discard(zip); }
};
struct ZipFileCloser {
  void operator()(zip_file_t* file) const { zip_fclose(file); }
};
struct ParserFreer {
  void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};

void OnStart(void* handler, const XML_Char* name, const XML_Char** attributes) {
  static_cast<XmlHandler*>(handler)->Start(LocalName(name), attributes);
}
void OnEnd(void* handler, const XML_Char* name) {
  static_cast<XmlHandler*>(handler)->End(LocalName(name));
}
void OnText(void* handler, const XML_Char* text, int length) {
  static_cast<XmlHandler*>(handler)->Text(std::string_view(text, static_cast<std::size_t>(length)));
}
// No workbook declares a document type; one that does wants entities
// expanded, which is how XML bombs work.
void OnDoctype(void* handler, const XML_Char*, const XML_Char*, const XML_Char*, int) {
  auto* h = static_cast<XmlHandler*>(handler);
  h->doctype = true;
  XML_StopParser(h->parser, XML_FALSE);
}

class WorkbookReader {
 public:
  WorkbookReader(std::string_view bytes, const ReadProgress& progress)
      : bytes_(bytes), progress_(progress) {}

  ResultsFile Read() {
    if (!Open()) return Refused();
    std::string workbook = "xl/workbook.xml";
    RelationshipsHandler packageRelationships;
    if (Parse("_rels/.rels", packageRelationships, /*required=*/false) == Outcome::kFault)
      return Refused();
    for (const Relationship& r : packageRelationships.found)
      if (EndsWith(r.type, "/officeDocument")) workbook = ResolvePart("", r.target);
    if (Find(workbook) < 0) {
      problem_ = "is a ZIP archive, not a workbook (it holds no " + workbook + ")";
      return Refused();
    }

    WorkbookHandler sheets;
    RelationshipsHandler relationships;
    if (Parse(workbook, sheets, true) == Outcome::kFault ||
        Parse(RelationshipsOf(workbook), relationships, false) == Outcome::kFault)
      return Refused();
    std::string sheet, sharedStrings, styles;
    const std::string folder = FolderOf(workbook);
    for (const Relationship& r : relationships.found) {
      if (r.id == sheets.firstSheet) sheet = ResolvePart(folder, r.target);
      if (EndsWith(r.type, "/sharedStrings")) sharedStrings = ResolvePart(folder, r.target);
      if (EndsWith(r.type, "/styles")) styles = ResolvePart(folder, r.target);
    }
    if (sheets.firstSheet.empty() || sheet.empty()) {
      problem_ = "is a workbook without a sheet";
      return Refused();
    }
    if (Find(sheet) < 0) {
      problem_ = "is a damaged workbook: its first sheet " + sheet + " is missing";
      return Refused();
    }

    // Progress follows the two parts that grow with the table.
    total_ = static_cast<double>(Size(sheet) + (sharedStrings.empty() ? 0 : Size(sharedStrings)));

    StylesHandler formats;
    if (!styles.empty() && Parse(styles, formats, false) == Outcome::kFault) return Refused();
    std::vector<std::string> strings;
    if (!sharedStrings.empty()) {
      SharedStringsHandler shared(strings);
      const Outcome outcome = Parse(sharedStrings, shared, false, /*counted=*/true);
      if (outcome == Outcome::kFault) return Refused();
      if (outcome == Outcome::kCancelled) return Cancelled();
    }

    ResultsTextBuilder::Form form;
    form.place = "row";
    form.parts = "cells";
    form.fillShortRecords = true;
    form.unguardCells = false;
    ResultsTextBuilder builder(form);
    SheetHandler rows(builder, strings, formats.grouped);
    const Outcome outcome = Parse(sheet, rows, true, /*counted=*/true);
    if (outcome == Outcome::kFault) return Refused();
    if (outcome == Outcome::kCancelled) return Cancelled();
    ResultsFile file;
    file.text = builder.Finish();
    return file;
  }

 private:
  enum class Outcome { kDone, kMissing, kCancelled, kFault };

  bool Open() {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes_.data(), bytes_.size(), 0, &error);
    zip_t* zip = source == nullptr ? nullptr : zip_open_from_source(source, ZIP_RDONLY, &error);
    if (zip == nullptr) {
      if (source != nullptr) zip_source_free(source);
      problem_ = std::string("is a damaged ZIP archive: ") + zip_error_strerror(&error);
      zip_error_fini(&error);
      return false;
    }
    zip_error_fini(&error);
    zip_.reset(zip);
    return true;
  }

  zip_int64_t Find(const std::string& part) const {
    return zip_name_locate(zip_.get(), part.c_str(), ZIP_FL_NOCASE);
  }

  zip_uint64_t Size(const std::string& part) const {
    zip_stat_t stat;
    zip_stat_init(&stat);
    const zip_int64_t index = Find(part);
    if (index < 0 || zip_stat_index(zip_.get(), static_cast<zip_uint64_t>(index), 0, &stat) != 0 ||
        (stat.valid & ZIP_STAT_SIZE) == 0)
      return 0;
    return stat.size;
  }

  // Feeds part `part` to `handler`. A missing part is a fault only when
  // `required`. `counted` parts move the progress.
  Outcome Parse(const std::string& part, XmlHandler& handler, bool required, bool counted = false) {
    const zip_int64_t index = Find(part);
    if (index < 0) {
      if (!required) return Outcome::kMissing;
      problem_ = "is a damaged workbook: " + part + " is missing";
      return Outcome::kFault;
    }
    std::unique_ptr<zip_file_t, ZipFileCloser> file(
        zip_fopen_index(zip_.get(), static_cast<zip_uint64_t>(index), 0));
    if (!file) return Damaged(part, zip_strerror(zip_.get()));
    std::unique_ptr<XML_ParserStruct, ParserFreer> parser(
        XML_ParserCreateNS(nullptr, kNamespaceSeparator));
    if (!parser) throw std::bad_alloc();
    XML_SetUserData(parser.get(), &handler);
    XML_SetElementHandler(parser.get(), OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser.get(), OnText);
    XML_SetStartDoctypeDeclHandler(parser.get(), OnDoctype);
    handler.parser = parser.get();

    std::size_t read = 0;
    std::vector<char> buffer(kChunkBytes);
    for (;;) {
      const zip_int64_t got = zip_fread(file.get(), buffer.data(), buffer.size());
      if (got < 0) return Damaged(part, zip_file_strerror(file.get()));
      read += static_cast<std::size_t>(got);
      if (read > kMaxWorkbookPartBytes) {
        problem_ = "is a workbook whose " + part + " unpacks to more than " +
                   ByteSizeText(kMaxWorkbookPartBytes) + ", the most Open Results reads";
        return Outcome::kFault;
      }
      const bool last = got == 0;
      if (XML_Parse(parser.get(), buffer.data(), static_cast<int>(got), last) == XML_STATUS_ERROR) {
        if (handler.stop) return Outcome::kDone;
        if (handler.doctype) {
          problem_ = "is a damaged workbook: " + part +
                     " declares a document type, which no workbook does";
          return Outcome::kFault;
        }
        return Damaged(part, "line " + std::to_string(XML_GetCurrentLineNumber(parser.get())) +
                                 ": " + XML_ErrorString(XML_GetErrorCode(parser.get())));
      }
      if (handler.stop) return Outcome::kDone;
      if (counted) {
        done_ += static_cast<double>(got);
        if (progress_ && !progress_(total_ > 0 ? std::min(1.0, done_ / total_) : 0.0))
          return Outcome::kCancelled;
      }
      if (last) return Outcome::kDone;
    }
  }

  Outcome Damaged(const std::string& part, const std::string& why) {
    problem_ = "is a damaged workbook: " + part + ": " + why;
    return Outcome::kFault;
  }

  ResultsFile Refused() const {
    ResultsFile file;
    file.readable = false;
    file.problem = problem_;
    return file;
  }

  static ResultsFile Cancelled() {
    ResultsFile file;
    file.text.cancelled = true;
    return file;
  }

  std::string_view bytes_;
  const ReadProgress& progress_;
  std::unique_ptr<zip_t, ZipCloser> zip_;
  std::string problem_;
  double total_ = 0;
  double done_ = 0;
};

}  // namespace

ResultsFile ParseResultsWorkbook(std::string_view zipBytes, const ReadProgress& progress) {
  return WorkbookReader(zipBytes, progress).Read();
}

}  // namespace quorvane
