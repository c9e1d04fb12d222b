#include <windows.h>
// After windows.h, which bcrypt.h needs.
#include <bcrypt.h>

#include <array>

#include "Crypto.hpp"

namespace simcoin {

namespace {

// Closes what CNG opened, whichever way the function leaves.
struct Algorithm {
    BCRYPT_ALG_HANDLE handle = nullptr;
    ~Algorithm() {
        if (handle) ::BCryptCloseAlgorithmProvider(handle, 0);
    }
};
struct Hash {
    BCRYPT_HASH_HANDLE handle = nullptr;
    ~Hash() {
        if (handle) ::BCryptDestroyHash(handle);
    }
};

bool succeeded(NTSTATUS status) {
    return status >= 0;
}

}  // namespace

std::string hmacSha256(std::string_view key, std::string_view message) {
    Algorithm algorithm;
    Hash hash;
    std::array<unsigned char, 32> digest{};
    // CNG takes non-const buffers though it only reads them.
    std::string keyBytes(key), messageBytes(message);
    if (!succeeded(::BCryptOpenAlgorithmProvider(&algorithm.handle, BCRYPT_SHA256_ALGORITHM, nullptr,
                                                 BCRYPT_ALG_HANDLE_HMAC_FLAG)) ||
        !succeeded(::BCryptCreateHash(algorithm.handle, &hash.handle, nullptr, 0,
                                      reinterpret_cast<PUCHAR>(keyBytes.data()),
                                      static_cast<ULONG>(keyBytes.size()), 0)) ||
        !succeeded(::BCryptHashData(hash.handle, reinterpret_cast<PUCHAR>(messageBytes.data()),
                                    static_cast<ULONG>(messageBytes.size()), 0)) ||
        !succeeded(::BCryptFinishHash(hash.handle, digest.data(), static_cast<ULONG>(digest.size()), 0)))
        return {};  // matches no stored hash, so nobody gets in
    return std::string(reinterpret_cast<const char*>(digest.data()), digest.size());
}

bool secureRandomBytes(unsigned char* out, std::size_t size) {
    return succeeded(
        ::BCryptGenRandom(nullptr, out, static_cast<ULONG>(size), BCRYPT_USE_SYSTEM_PREFERRED_RNG));
}

}  // namespace simcoin
