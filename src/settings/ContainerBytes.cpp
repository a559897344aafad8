#include "settings/ContainerBytes.h"

#include <sstream>
#include <stdexcept>

#include "settings/ContainerFile.h"

namespace quorvane {

std::string EncryptBytes(std::string_view plain, std::string_view password) {
  if (password.size() > kMaxPasswordLength) {
    throw std::invalid_argument("password longer than 128 bytes");
  }
  std::istringstream in{std::string(plain)};
  std::ostringstream out;
  TEncryption crypt(std::string(password), kContainerBufferSize);
  if (!crypt.EncryptStream(in, out)) throw std::runtime_error("encryption in memory failed");
  return std::move(out).str();
}

CryptError DecryptBytes(std::string_view container, std::string_view password, std::string& plain) {
  std::istringstream in{std::string(container)};
  std::ostringstream out;
  TEncryption crypt(std::string(password), kContainerBufferSize);
  crypt.DecryptStream(in, &out, static_cast<std::int64_t>(container.size()));
  plain = std::move(out).str();
  return crypt.LastError();
}

}  // namespace quorvane
