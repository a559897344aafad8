#include "app/OpenUrl.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kHttpHandler = "x-scheme-handler/http";

std::string Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return std::string(text.substr(first, last - first + 1));
}

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> pieces;
  std::size_t from = 0;
  while (from <= text.size()) {
    const auto at = text.find(separator, from);
    const auto end = at == std::string_view::npos ? text.size() : at;
    pieces.emplace_back(text.substr(from, end - from));
    from = end + 1;
  }
  return pieces;
}

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// An XDG base folder: the variable when it holds an absolute path, else
// the standard place below the home folder.
std::optional<fs::path> BaseHome(const char* variable, const char* belowHome) {
  const fs::path set = Env(variable);
  if (set.is_absolute()) return set;
  const fs::path home = Env("HOME");
  if (!home.is_absolute()) return std::nullopt;
  return home / belowHome;
}

// An XDG search path: the colon-separated absolute folders of the
// variable, or the standard list when it is unset or empty.
std::vector<fs::path> BaseDirs(const char* variable, const char* standard) {
  std::string list = Env(variable);
  if (list.empty()) list = standard;
  std::vector<fs::path> dirs;
  for (const auto& piece : Split(list, ':')) {
    const fs::path dir = piece;
    if (dir.is_absolute()) dirs.push_back(dir);
  }
  return dirs;
}

std::vector<fs::path> ConfigFolders() {
  std::vector<fs::path> folders;
  if (auto home = BaseHome("XDG_CONFIG_HOME", ".config")) folders.push_back(*home);
  for (auto& dir : BaseDirs("XDG_CONFIG_DIRS", "/etc/xdg")) folders.push_back(dir);
  return folders;
}

std::vector<fs::path> ApplicationFolders() {
  std::vector<fs::path> folders;
  if (auto home = BaseHome("XDG_DATA_HOME", ".local/share"))
    folders.push_back(*home / "applications");
  for (auto& dir : BaseDirs("XDG_DATA_DIRS", "/usr/local/share/:/usr/share/"))
    folders.push_back(dir / "applications");
  return folders;
}

std::vector<std::string> CurrentDesktops() {
  std::vector<std::string> desktops;
  for (auto name : Split(Env("XDG_CURRENT_DESKTOP"), ':')) {
    if (name.empty()) continue;
    for (auto& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    desktops.push_back(name);
  }
  return desktops;
}

// The mimeapps.list files, most important first: in each config folder and
// then in each applications folder, the desktop-specific lists before the
// general one.
std::vector<fs::path> MimeAppsLists() {
  const auto desktops = CurrentDesktops();
  std::vector<fs::path> lists;
  auto addFolder = [&](const fs::path& folder) {
    for (const auto& desktop : desktops) lists.push_back(folder / (desktop + "-mimeapps.list"));
    lists.push_back(folder / "mimeapps.list");
  };
  for (const auto& folder : ConfigFolders()) addFolder(folder);
  for (const auto& folder : ApplicationFolders()) addFolder(folder);
  return lists;
}

// Reads the value of `key` in `group` of a desktop-style key file;
// nullopt when the file or the key is missing.
std::optional<std::string> KeyFileValue(const fs::path& file, std::string_view group,
                                        std::string_view key) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string line;
  bool inGroup = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == '#') continue;
    if (trimmed[0] == '[') {
      // Compared in place: g++ 12 at -O3 warns falsely (-Wrestrict) about
      // "[" + std::string(group) + "]".
      inGroup =
          trimmed.back() == ']' && std::string_view(trimmed).substr(1, trimmed.size() - 2) == group;
      continue;
    }
    if (!inGroup) continue;
    const auto eq = trimmed.find('=');
    if (eq == std::string::npos) continue;
    if (Trim(std::string_view(trimmed).substr(0, eq)) == key) return Trim(trimmed.substr(eq + 1));
  }
  return std::nullopt;
}

// Undoes the escapes of a desktop-entry string value.
std::string UnescapeValue(std::string_view value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    switch (value[++i]) {
      case 's':
        out += ' ';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      default:
        out += value[i];
        break;
    }
  }
  return out;
}

// The program of an Exec line: its first argument, which may be quoted
// with double quotes (inside them a backslash takes the next character).
std::string ExecProgram(std::string_view exec) {
  std::size_t i = exec.find_first_not_of(" \t");
  if (i == std::string_view::npos) return {};
  std::string program;
  if (exec[i] != '"') {
    const auto end = exec.find_first_of(" \t", i);
    return std::string(exec.substr(i, end == std::string_view::npos ? end : end - i));
  }
  for (++i; i < exec.size() && exec[i] != '"'; ++i) {
    if (exec[i] == '\\' && i + 1 < exec.size()) ++i;
    program += exec[i];
  }
  return program;
}

// Where the desktop entry with this id lives: the first applications folder
// that holds it, directly or in a subfolder ("a-b.desktop" may be a/b.desktop).
std::optional<fs::path> FindDesktopEntry(const std::string& id) {
  if (id.empty() || id.find('/') != std::string::npos) return std::nullopt;
  for (const auto& folder : ApplicationFolders()) {
    std::error_code ec;
    if (fs::is_regular_file(folder / id, ec)) return folder / id;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
      if (!it->is_regular_file(ec)) continue;
      std::string relative = it->path().lexically_relative(folder).generic_string();
      for (auto& c : relative) c = c == '/' ? '-' : c;
      if (relative == id) return it->path();
    }
  }
  return std::nullopt;
}

// The program an installed, usable desktop entry starts; empty otherwise.
std::string EntryProgram(const std::string& id) {
  const auto file = FindDesktopEntry(id);
  if (!file) return {};
  constexpr std::string_view kGroup = "Desktop Entry";
  if (KeyFileValue(*file, kGroup, "Hidden").value_or("") == "true") return {};
  const auto type = KeyFileValue(*file, kGroup, "Type");
  if (type && *type != "Application") return {};
  return ExecProgram(UnescapeValue(KeyFileValue(*file, kGroup, "Exec").value_or("")));
}

// The executable file to run: the program itself when it names a path,
// else the first match on PATH. Empty when there is nothing to run.
std::string Executable(const std::string& program) {
  if (program.find('/') != std::string::npos) return program;
  std::string path = Env("PATH");
  if (path.empty()) path = "/usr/local/bin:/usr/bin:/bin";
  for (const auto& dir : Split(path, ':')) {
    if (dir.empty()) continue;
    const std::string candidate = dir + "/" + program;
    struct stat info {};
    if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        access(candidate.c_str(), X_OK) == 0)
      return candidate;
  }
  return {};
}

// Runs the program in a grandchild of its own session, so it outlives us
// and never stays behind as our zombie. Only async-signal-safe calls run
// between fork and exec.
void StartDetached(const std::string& executable, const std::string& argument) {
  std::vector<char> file(executable.begin(), executable.end());
  file.push_back('\0');
  std::vector<char> arg(argument.begin(), argument.end());
  arg.push_back('\0');
  char* const argv[] = {file.data(), arg.data(), nullptr};

  const pid_t child = fork();
  if (child < 0) return;
  if (child == 0) {
    setsid();
    const pid_t grandchild = fork();
    if (grandchild == 0) {
      execv(file.data(), argv);
      _exit(127);
    }
    _exit(grandchild < 0 ? 1 : 0);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

std::string RegisteredBrowser() {
  for (const auto& list : MimeAppsLists()) {
    const auto ids = KeyFileValue(list, "Default Applications", kHttpHandler);
    if (!ids) continue;
    for (const auto& id : Split(*ids, ';')) {
      std::string program = EntryProgram(Trim(id));
      if (!program.empty()) return program;
    }
  }
  return {};
}

bool OpenUrl(const std::string& address) {
  const std::string program = RegisteredBrowser();
  if (program.empty()) return false;
  const std::string executable = Executable(program);
  if (!executable.empty()) StartDetached(executable, address);
  return true;
}
