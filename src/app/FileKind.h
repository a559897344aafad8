#pragma once

#include <cstddef>
#include <string_view>

namespace quorvane {

// What a file dropped on the table or opened as results is, told from its
// first bytes, so that a picture or an archive is refused with a word
// instead of becoming rows of garbage.
enum class FileKind {
  kText,
  // A ZIP archive: maybe a workbook, which is read as one.
  kZip,
  // A known picture, archive or program, or anything with a NUL byte in its
  // first block: no text a person wrote.
  kBinary,
};

struct SniffedFile {
  FileKind kind = FileKind::kText;
  // For kZip and kBinary, what it is, to follow "is " in a message:
  // "a PNG picture", "a ZIP archive", "a binary file (a NUL byte in its
  // first 4,096 bytes)".
  std::string_view what;
};

// How much of a file is looked at.
inline constexpr std::size_t kSniffBytes = 4096;

// Looks at the first kSniffBytes bytes of `start` (the file's first bytes;
// fewer for a short file).
SniffedFile SniffFile(std::string_view start);

}  // namespace quorvane
