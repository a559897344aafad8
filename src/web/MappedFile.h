#pragma once

#include <cstddef>
#include <filesystem>
#include <string_view>

namespace quorvane {

// A whole file mapped read-only, its pages loaded in one go: reading a
// multi-megabyte page back this way costs a fraction of copying it into
// a fresh buffer. Move-only; unmapped on destruction.
class MappedFile {
 public:
  explicit MappedFile(const std::filesystem::path& path);
  ~MappedFile();
  MappedFile(MappedFile&& other) noexcept;
  MappedFile& operator=(MappedFile&& other) noexcept;
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  // False when the file could not be opened or mapped.
  bool Ok() const { return ok_; }
  // The file's bytes (empty for an empty file).
  std::string_view Bytes() const { return {static_cast<const char*>(data_), size_}; }

 private:
  void* data_ = nullptr;
  std::size_t size_ = 0;
  bool ok_ = false;
};

}  // namespace quorvane
