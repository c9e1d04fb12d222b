// HTTP Basic authentication the way a bitcoin-style node checks it: a
// plain rpcuser/rpcpassword pair, any number of rpcauth=USER:SALT$HASH lines
// (HASH = hex HMAC-SHA256 of the password keyed with SALT), or, when no
// password is configured, a random cookie written to DATADIR/.cookie.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace simcoin {

std::string base64Encode(std::string_view data);
std::optional<std::string> base64Decode(std::string_view text);
std::string hmacSha256Hex(std::string_view key, std::string_view message);

struct RpcAuthLine {
    std::string user;
    std::string salt;
    std::string hash;
};
std::optional<RpcAuthLine> parseRpcAuth(std::string_view line);

class Authenticator {
  public:
    void allowUserPassword(std::string user, std::string password);
    void allowRpcAuth(RpcAuthLine line);
    // Checks an "Authorization" header value ("Basic xxxx").
    bool check(std::string_view authorizationHeader) const;

  private:
    bool checkCredentials(std::string_view user, std::string_view password) const;

    std::vector<std::pair<std::string, std::string>> plain_;
    std::vector<RpcAuthLine> hashed_;
};

inline constexpr const char* cookieUser = "__cookie__";
// A fresh random password for the cookie file.
std::string randomCookiePassword();

}  // namespace simcoin
