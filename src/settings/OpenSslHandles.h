#pragma once

#include <openssl/evp.h>

#include <memory>

namespace quorvane {

// Move-only owners of the OpenSSL handles the container uses.
struct CipherCtxDeleter {
  void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
};
struct MacDeleter {
  void operator()(EVP_MAC* mac) const { EVP_MAC_free(mac); }
};
struct MacCtxDeleter {
  void operator()(EVP_MAC_CTX* ctx) const { EVP_MAC_CTX_free(ctx); }
};

using CipherCtxPtr = std::unique_ptr<EVP_CIPHER_CTX, CipherCtxDeleter>;
using MacPtr = std::unique_ptr<EVP_MAC, MacDeleter>;
using MacCtxPtr = std::unique_ptr<EVP_MAC_CTX, MacCtxDeleter>;

}  // namespace quorvane
