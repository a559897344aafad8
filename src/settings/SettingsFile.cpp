#include "settings/SettingsFile.h"

#include <ostream>
#include <string>

#include "base/FileError.h"
#include "base/FileOutBuf.h"
#include "settings/AesLib.h"
#include "settings/ContainerFile.h"

namespace quorvane {

CryptError DecryptSettingsFile(const std::filesystem::path& source,
                               const std::filesystem::path& target) {
  SourceFile in = OpenSourceFile(source);
  const auto out = FileOutBuf::Create(target);
  std::ostream stream(out.get());
  TEncryption crypt(std::string(kSettingsPassword), kSettingsBufferSize);
  // The outcome does not change what is written: whatever was decrypted is
  // the settings text the loader gets, empty for a file that does not
  // decrypt. It is only handed on, for the one line that says so.
  crypt.DecryptStream(in.stream, &stream, in.size);
  // A text the disk did not take whole is no settings text, though: read
  // back, it would pass for a file without most of its values.
  if (!out->Close()) throw FileError(target, "cannot write", out->Error());
  return crypt.LastError();
}

void EncryptSettingsFile(const std::filesystem::path& source, const std::filesystem::path& target) {
  EncryptContainerFile(source, target, kSettingsPassword);
}

}  // namespace quorvane
