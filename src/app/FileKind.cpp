#include "app/FileKind.h"

#include <array>

namespace quorvane {

namespace {

struct Signature {
  std::string_view bytes;
  std::string_view what;
};

using namespace std::string_view_literals;

// Signatures long and odd enough that no keyword list starts with them.
constexpr std::array kSignatures = {
    Signature{"\x89PNG\r\n\x1a\n"sv, "a PNG picture"},
    Signature{"GIF87a"sv, "a GIF picture"},
    Signature{"GIF89a"sv, "a GIF picture"},
    Signature{"\xFF\xD8\xFF"sv, "a JPEG picture"},
    Signature{"%PDF-"sv, "a PDF document"},
    Signature{"\x1F\x8B"sv, "a gzip archive"},
    Signature{"BZh"sv, ""},  // checked below: "BZh" is also a word
    Signature{"\xFD"
              "7zXZ\0"sv,
              "an xz archive"},
    Signature{"7z\xBC\xAF\x27\x1C"sv, "a 7-Zip archive"},
    Signature{"Rar!\x1A\x07"sv, "a RAR archive"},
    Signature{"\x7F"
              "ELF"sv,
              "a program"},
    Signature{"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"sv, "an old Office document"},
};

constexpr std::array kZipSignatures = {"PK\x03\x04"sv, "PK\x05\x06"sv, "PK\x07\x08"sv};

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

SniffedFile SniffFile(std::string_view start) {
  start = start.substr(0, kSniffBytes);
  for (const std::string_view zip : kZipSignatures)
    if (StartsWith(start, zip)) return {FileKind::kZip, "a ZIP archive"};
  if (StartsWith(start, "RIFF"sv) && start.substr(8, 4) == "WEBP"sv)
    return {FileKind::kBinary, "a WebP picture"};
  for (const Signature& signature : kSignatures) {
    if (!StartsWith(start, signature.bytes)) continue;
    if (signature.what.empty()) {
      // bzip2: "BZh", the block size digit, then the block magic.
      if (StartsWith(start.substr(4), "\x31\x41\x59\x26\x53\x59"sv) && start.size() > 3 &&
          start[3] >= '1' && start[3] <= '9')
        return {FileKind::kBinary, "a bzip2 archive"};
      continue;
    }
    return {FileKind::kBinary, signature.what};
  }
  if (start.find('\0') != std::string_view::npos)
    return {FileKind::kBinary, "a binary file (a NUL byte in its first 4,096 bytes)"};
  return {FileKind::kText, {}};
}

}  // namespace quorvane
