#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <array>

#include "Crypto.hpp"

namespace simcoin {

std::string hmacSha256(std::string_view key, std::string_view message) {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()),
         reinterpret_cast<const unsigned char*>(message.data()), message.size(), digest.data(), &length);
    return std::string(reinterpret_cast<const char*>(digest.data()), length);
}

bool secureRandomBytes(unsigned char* out, std::size_t size) {
    return RAND_bytes(out, static_cast<int>(size)) == 1;
}

}  // namespace simcoin
