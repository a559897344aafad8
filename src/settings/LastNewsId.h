#pragma once

#include <string>

namespace quorvane {

// The id of the publisher news item the user read last, kept on a line of
// its own in the brand settings file. Nothing is cached: every call goes to
// the file.

// The stored id; empty without a settings file, a marker or an id.
// Throws FileError when the working copy cannot be made or read.
std::string ReadLastNewsId();

// Stores `id` unchanged in the settings file, encrypted afresh. Does
// nothing without a settings file, and leaves the file untouched when it
// does not decrypt cleanly: rewriting it would lose the brand values.
// Throws FileError when the working copy or the new file cannot be written;
// the settings file is then as it was.
void SaveLastNewsId(const std::string& id);

}  // namespace quorvane
