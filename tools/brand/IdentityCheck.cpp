#include "brand/IdentityCheck.h"

#include <fstream>
#include <iterator>
#include <map>
#include <system_error>

#include "base/AsciiText.h"
#include "settings/SettingsLines.h"

namespace quorvane {

namespace {

namespace fs = std::filesystem;

const std::string kFile(kIdentityFile);

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const IdentityKey* FindKey(std::string_view section, std::string_view key) {
  for (const IdentityKey& k : IdentityKeys()) {
    if (k.section == section && k.key == key) return &k;
  }
  return nullptr;
}

bool KnownSection(std::string_view section) {
  for (const IdentityKey& k : IdentityKeys()) {
    if (k.section == section) return true;
  }
  return false;
}

void CheckIcon(const std::filesystem::path& folder, const std::string& name,
               const PictureReader& pictures, IdentityReport& report) {
  const auto add = [&](std::string message) {
    report.problems.push_back({name, 0, "", std::move(message)});
  };
  const std::string lower = LowerAscii(name);
  const bool svg = lower.ends_with(".svg");
  if (!svg && !lower.ends_with(".png")) return;  // the build names this one
  if (fs::path(name).lexically_normal().generic_string().starts_with("..")) return;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(folder / name, ec)) {
    add("missing: the identity's Icon names it");
    return;
  }
  report.files.insert(fs::path(name).lexically_normal().generic_string());
  const std::string bytes = ReadAll(folder / name);
  if (svg) {
    if (bytes.find("<svg") == std::string::npos)
      add("not an SVG drawing: it holds no <svg element");
    return;
  }
  if (const std::string trouble = pictures.Trouble(PictureUse::Page, bytes, "png");
      !trouble.empty()) {
    add("the identity's icon does not load: " + trouble);
  }
}

}  // namespace

const std::vector<IdentityKey>& IdentityKeys() {
  static const std::vector<IdentityKey> keys = {
      {"Product", "Name", true},           {"Product", "Package", true},
      {"Product", "Version", true},        {"Product", "Folder", false},
      {"Desktop", "Name", true},           {"Desktop", "GenericName", false},
      {"Desktop", "Comment", true},        {"Desktop", "Categories", true},
      {"Desktop", "Keywords", false},      {"Desktop", "Icon", true},
      {"AppStream", "Id", true},           {"AppStream", "Name", true},
      {"AppStream", "Summary", true},      {"AppStream", "Developer", true},
      {"Package", "Maintainer", true},     {"Package", "CopyrightHolder", true},
      {"Package", "CopyrightYears", true}, {"Package", "Date", false},
  };
  return keys;
}

IdentityReport CheckIdentity(const std::filesystem::path& folder, const PictureReader& pictures) {
  IdentityReport report;
  const auto add = [&](int line, std::string subject, std::string message) {
    report.problems.push_back({kFile, line, std::move(subject), std::move(message)});
  };
  std::error_code ec;
  if (!std::filesystem::is_regular_file(folder / kFile, ec)) {
    add(0, "",
        "missing: without it the package, its command and its menu entry are Quorvane's, and "
        "they install over Quorvane itself");
    return report;
  }
  report.files.insert(kFile);

  std::map<std::string, std::string> values;  // "Section.Key" -> value
  std::string section;
  int number = 0;
  for (const std::string& raw : SplitLines(ReadAll(folder / kFile))) {
    ++number;
    const std::string_view line = Trim(raw, kWhiteSpace);
    if (line.empty() || line.starts_with('#') || line.starts_with(';')) continue;
    if (line.starts_with('[') && line.ends_with(']')) {
      section = std::string(line.substr(1, line.size() - 2));
      if (!KnownSection(section)) {
        add(number, "[" + section + "]", "unknown section");
        section = "?";
      }
      continue;
    }
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) {
      add(number, "", "not a [Section], a Key=Value line or a comment");
      continue;
    }
    const std::string key(Trim(line.substr(0, equals), kWhiteSpace));
    const std::string value(Trim(line.substr(equals + 1), kWhiteSpace));
    if (section == "?") continue;
    if (section.empty()) {
      add(number, key, "stands before the first [Section]");
      continue;
    }
    if (FindKey(section, key) == nullptr) {
      add(number, "[" + section + "] " + key, "unknown key: the build does not read it");
      continue;
    }
    if (!values.emplace(section + "." + key, value).second) {
      add(number, "[" + section + "] " + key, "given twice");
    }
  }
  for (const IdentityKey& k : IdentityKeys()) {
    const auto it = values.find(std::string(k.section) + "." + std::string(k.key));
    if (k.required && (it == values.end() || it->second.empty())) {
      add(0, "[" + std::string(k.section) + "] " + std::string(k.key), "missing");
    }
  }
  if (const auto icon = values.find("Desktop.Icon"); icon != values.end() && !icon->second.empty())
    CheckIcon(folder, icon->second, pictures, report);
  return report;
}

}  // namespace quorvane
