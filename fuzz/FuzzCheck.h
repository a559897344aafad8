#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace quorvane {

// A property that must hold for every input. A broken one aborts, so that
// libFuzzer keeps the input like a crash; unlike assert() it stays active
// in every build type.
#define FUZZ_CHECK(condition)                                                               \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (false)

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Targets that hold several kinds of input in one take the kind from the
// first byte, so that seed files read "0...", "1...", "2...".
struct KindAndRest {
  unsigned kind;
  std::string_view rest;
};

inline KindAndRest SplitKind(const std::uint8_t* data, std::size_t size, unsigned kinds) {
  if (size == 0) return {0, {}};
  return {static_cast<unsigned>(data[0]) % kinds, AsText(data + 1, size - 1)};
}

// Bytes 0..32 at either end.
inline bool HasBlankEdge(std::string_view text) {
  return !text.empty() && (static_cast<unsigned char>(text.front()) <= 32 ||
                           static_cast<unsigned char>(text.back()) <= 32);
}

// ASCII-only case folding, as the text routines compare.
inline char FoldUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

inline bool ContainsNoCase(std::string_view text, std::string_view searched) {
  if (searched.empty()) return false;
  for (std::size_t i = 0; i + searched.size() <= text.size(); ++i) {
    std::size_t j = 0;
    while (j < searched.size() && FoldUpper(text[i + j]) == FoldUpper(searched[j])) ++j;
    if (j == searched.size()) return true;
  }
  return false;
}

}  // namespace quorvane
