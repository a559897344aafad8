#include "app/ui/WelcomeBrowser.h"

#include <QFile>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/ProgramFolder.h"
#include "base/ui/LocalText.h"

namespace quorvane {

namespace {

// The file a resource name stands for, if it is a regular file inside the
// program folder (after following links and "..").
std::filesystem::path ResourceFile(const QUrl& name) {
  namespace fs = std::filesystem;
  QString local;
  if (name.isLocalFile()) {
    local = name.toLocalFile();
  } else if (name.scheme().isEmpty()) {
    local = name.path();
  } else {
    return {};  // http, ftp and the like: never loaded
  }
  if (local.isEmpty()) return {};
  std::error_code ec;
  const fs::path folder = fs::weakly_canonical(ProgramFolder(), ec);
  if (ec) return {};
  fs::path file(ToLocal(local));
  if (file.is_relative()) file = folder / file;
  file = fs::weakly_canonical(file, ec);
  if (ec) return {};
  const auto [end, rest] = std::mismatch(folder.begin(), folder.end(), file.begin(), file.end());
  if (end != folder.end() || rest == file.end()) return {};
  if (!fs::is_regular_file(file, ec)) return {};
  return file;
}

}  // namespace

WelcomeBrowser::WelcomeBrowser(QWidget* parent) : QTextBrowser(parent) {
  setReadOnly(true);
  setOpenLinks(false);
}

QVariant WelcomeBrowser::loadResource(int type, const QUrl& name) {
  if (name.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) == 0) {
    return QTextBrowser::loadResource(type, name);  // inline, nothing is read
  }
  // Refusals give an empty value, not a null one: on a null value the
  // document goes on to read a local file of that name itself.
  const QVariant nothing{QByteArray()};
  const auto file = ResourceFile(name);
  if (file.empty()) return nothing;
  QFile in(FromLocal(file.string()));
  if (in.size() > kMaxResourceBytes || !in.open(QIODevice::ReadOnly)) return nothing;
  return in.read(kMaxResourceBytes);
}

}  // namespace quorvane
