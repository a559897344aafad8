#include "settings/SettingsWorkingCopy.h"

#include <cerrno>
#include <fstream>
#include <iterator>
#include <system_error>

#include "base/AtomicFileWriter.h"
#include "base/FileError.h"
#include "base/FileOutBuf.h"
#include "base/ProgramFolder.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsLines.h"

namespace quorvane {

SettingsWorkingCopy::SettingsWorkingCopy() : path_(ProgramFile("dbsettings.sim")) {
  // What a save killed half-way left: its temporary files are of no use to
  // anyone, and every load, read and save clears them, so they cannot pile up.
  AtomicFileWriter::RemoveStaleTemporaries(path_);
  AtomicFileWriter::RemoveStaleTemporaries(ProgramFile("dbsettings.dat"));
}

SettingsWorkingCopy::~SettingsWorkingCopy() {
  Remove();
}

std::vector<std::string> SettingsWorkingCopy::ReadLines() const {
  errno = 0;
  std::ifstream in(path_, std::ios::binary);
  if (!in) throw FileError(path_, "cannot open for reading", errno);
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) throw FileError(path_, "cannot read", EIO);
  std::error_code ec;
  const auto size = std::filesystem::file_size(path_, ec);
  if (ec || size != text.size()) throw FileError(path_, "cannot read", ec ? ec.value() : EIO);
  return SplitLines(text);
}

// The copy is scratch that lives only inside one operation; the settings
// file itself is replaced atomically from it. So a plain write, which keeps
// the reason of a failure.
void SettingsWorkingCopy::WriteLines(const std::vector<std::string>& lines) const {
  const auto out = FileOutBuf::Create(path_);
  const std::string text = JoinLines(lines);
  const auto size = static_cast<std::streamsize>(text.size());
  if (out->sputn(text.data(), size) != size || !out->Close())
    throw FileError(path_, "cannot write", out->Error());
}

void SettingsWorkingCopy::Remove() const {
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

std::optional<std::vector<std::string>> ReadSettingsLines(CryptError* decrypted) {
  const auto settings = ProgramFile("dbsettings.dat");
  std::error_code ec;
  if (!std::filesystem::exists(settings, ec)) return std::nullopt;
  SettingsWorkingCopy copy;
  const CryptError outcome = DecryptSettingsFile(settings, copy.Path());
  if (decrypted != nullptr) *decrypted = outcome;
  return copy.ReadLines();
}

}  // namespace quorvane
