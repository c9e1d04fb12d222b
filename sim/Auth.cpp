#include "Auth.hpp"

#include <array>
#include <cstdio>
#include <cstdlib>

#include "Crypto.hpp"

namespace simcoin {

namespace {

constexpr std::string_view base64Alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string toHex(const unsigned char* data, std::size_t size) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        out += digits[data[i] >> 4];
        out += digits[data[i] & 0x0F];
    }
    return out;
}

// Compares in time independent of where the texts differ, so the answer
// time gives nothing away about a secret.
bool sameSecret(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    unsigned char difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i) difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

}  // namespace

std::string base64Encode(std::string_view data) {
    std::string out;
    std::size_t i = 0;
    while (i + 2 < data.size()) {
        unsigned v = (static_cast<unsigned char>(data[i]) << 16) |
                     (static_cast<unsigned char>(data[i + 1]) << 8) | static_cast<unsigned char>(data[i + 2]);
        out += base64Alphabet[(v >> 18) & 63];
        out += base64Alphabet[(v >> 12) & 63];
        out += base64Alphabet[(v >> 6) & 63];
        out += base64Alphabet[v & 63];
        i += 3;
    }
    std::size_t rest = data.size() - i;
    if (rest > 0) {
        unsigned v = static_cast<unsigned char>(data[i]) << 16;
        if (rest == 2) v |= static_cast<unsigned char>(data[i + 1]) << 8;
        out += base64Alphabet[(v >> 18) & 63];
        out += base64Alphabet[(v >> 12) & 63];
        out += rest == 2 ? base64Alphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::optional<std::string> base64Decode(std::string_view text) {
    std::string out;
    unsigned buffer = 0;
    int bits = 0;
    std::size_t padding = 0;
    for (char c : text) {
        if (c == '=') {
            ++padding;
            continue;
        }
        if (padding) return std::nullopt;  // data after padding
        auto pos = base64Alphabet.find(c);
        if (pos == std::string_view::npos) return std::nullopt;
        buffer = (buffer << 6) | static_cast<unsigned>(pos);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    if (padding > 2) return std::nullopt;
    return out;
}

std::string hmacSha256Hex(std::string_view key, std::string_view message) {
    const auto digest = hmacSha256(key, message);
    return toHex(reinterpret_cast<const unsigned char*>(digest.data()), digest.size());
}

std::optional<RpcAuthLine> parseRpcAuth(std::string_view line) {
    auto colon = line.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    auto rest = line.substr(colon + 1);
    auto dollar = rest.find('$');
    if (dollar == std::string_view::npos) return std::nullopt;
    RpcAuthLine out{std::string(line.substr(0, colon)), std::string(rest.substr(0, dollar)),
                    std::string(rest.substr(dollar + 1))};
    if (out.user.empty() || out.salt.empty() || out.hash.empty()) return std::nullopt;
    return out;
}

void Authenticator::allowUserPassword(std::string user, std::string password) {
    plain_.emplace_back(std::move(user), std::move(password));
}

void Authenticator::allowRpcAuth(RpcAuthLine line) {
    hashed_.push_back(std::move(line));
}

bool Authenticator::check(std::string_view header) const {
    constexpr std::string_view prefix = "Basic ";
    if (!header.starts_with(prefix)) return false;
    auto decoded = base64Decode(header.substr(prefix.size()));
    if (!decoded) return false;
    auto colon = decoded->find(':');
    if (colon == std::string::npos) return false;
    return checkCredentials(std::string_view(*decoded).substr(0, colon),
                            std::string_view(*decoded).substr(colon + 1));
}

bool Authenticator::checkCredentials(std::string_view user, std::string_view password) const {
    bool ok = false;
    // Every entry is checked even after a match, to keep the time constant.
    for (const auto& [u, p] : plain_) ok |= sameSecret(user, u) & sameSecret(password, p);
    for (const auto& line : hashed_)
        ok |= sameSecret(user, line.user) & sameSecret(hmacSha256Hex(line.salt, password), line.hash);
    return ok;
}

std::string randomCookiePassword() {
    std::array<unsigned char, 32> bytes{};
    // A guessable cookie would let anyone on the machine in: better no node at all.
    if (!secureRandomBytes(bytes.data(), bytes.size())) {
        std::fprintf(stderr, "Error: no secure random bytes for the authentication cookie\n");
        std::exit(1);
    }
    return toHex(bytes.data(), bytes.size());
}

}  // namespace simcoin
