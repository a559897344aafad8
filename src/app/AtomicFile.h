#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

namespace quorvane {

// Replaces the content of the file at `path` with `bytes`, or creates it.
// The bytes go to a temporary file in the same folder first, which is
// flushed to disk and then renamed over the target, so a failure at any
// point (no permission, disk full, file size limit) leaves an existing file
// as it was and no temporary file behind. A symbolic link is followed; an
// existing file keeps its permissions.
//
// Returns the first error met, or an empty error code.
std::error_code WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace quorvane
