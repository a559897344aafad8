#include "settings/SettingsFileState.h"

#include <array>
#include <fstream>
#include <iterator>

#include "base/AsciiText.h"

namespace quorvane {

namespace {

// Start tags of which at least one stands in every settings text worth
// the name; the lower-case forms, matched in any case.
constexpr std::array<std::string_view, 8> kMarkTags = {
    "<%%applicationname%%>", "<%%brandercode%%>", "<%%brandertype%%>", "<%%apphelpurl%%>",
    "<%%abouttext%%>",       "<%%welcome1%%>",    "<%%banner1%%>",     "<%%lastnewsid%%>",
};

}  // namespace

bool HoldsSettingsTags(std::string_view bytes) {
  const std::string lower = LowerAscii(bytes);
  for (const std::string_view tag : kMarkTags) {
    if (lower.find(tag) != std::string::npos) return true;
  }
  return false;
}

SettingsFileTrouble JudgeSettingsFile(CryptError decrypted, std::string_view fileBytes) {
  if (decrypted == CryptError::None) return SettingsFileTrouble::None;
  // A container's bytes are random: tags in clear mean it never was one.
  if (HoldsSettingsTags(fileBytes)) return SettingsFileTrouble::PlainText;
  if (decrypted == CryptError::WrongPassword) return SettingsFileTrouble::WrongPassword;
  return SettingsFileTrouble::Damaged;
}

std::string DescribeSettingsTrouble(SettingsFileTrouble trouble) {
  switch (trouble) {
    case SettingsFileTrouble::None:
      return {};
    case SettingsFileTrouble::PlainText:
      return "a plain settings text, not encrypted";
    case SettingsFileTrouble::WrongPassword:
      return "does not decrypt with the settings password (encrypted with another password, "
             "or not a brand settings file)";
    case SettingsFileTrouble::Damaged:
      return "damaged (its check code does not match its content)";
  }
  return {};
}

std::string ReadSettingsFileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return {};
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace quorvane
