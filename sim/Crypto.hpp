// The two cryptographic services the node needs, from the system's own library:
// OpenSSL's libcrypto on POSIX (CryptoOpenSsl.cpp), CNG (BCrypt) on Windows
// (CryptoWin32.cpp).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace simcoin {

// The 32 raw bytes of HMAC-SHA256 of `message` keyed with `key`.
std::string hmacSha256(std::string_view key, std::string_view message);
// `size` bytes from the system's secure random source; false when it fails.
bool secureRandomBytes(unsigned char* out, std::size_t size);

}  // namespace simcoin
