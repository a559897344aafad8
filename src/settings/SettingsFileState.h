#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "settings/AesLib.h"

namespace quorvane {

// Why a brand settings file cannot be used as it is. The program, the
// brand tool's decrypt and its check name the same trouble in the same
// words.
enum class SettingsFileTrouble {
  None,
  PlainText,      // a settings text that was never encrypted
  WrongPassword,  // a container made under another password, or no container at all
  Damaged,        // its check code does not match: the text read may be garbled
};

// Puts the outcome of decrypting a file together with the file's own
// bytes: a file that fails the password check but holds settings tags in
// clear is a plain settings text, not a wrong password.
SettingsFileTrouble JudgeSettingsFile(CryptError decrypted, std::string_view fileBytes);

// True when `bytes` hold the start tag of a value the program reads, in
// any letter case: the mark of a settings text.
bool HoldsSettingsTags(std::string_view bytes);

// What the trouble means, in a few words, e.g. "a plain settings text,
// not encrypted". Empty for None.
std::string DescribeSettingsTrouble(SettingsFileTrouble trouble);

// The file's bytes for the judgement above: whole, or empty when it
// cannot be read (then there is nothing to tell apart).
std::string ReadSettingsFileBytes(const std::filesystem::path& file);

}  // namespace quorvane
