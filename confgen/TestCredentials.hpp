#pragma once
#include <array>
#include <string_view>

namespace pd {

// A ready-made RPC login for trying a node out: the rpcauth line is the one the node's
// rpcauth option expects for this user name and password (salt, then the hex HMAC-SHA256
// of the password keyed by the salt text).
struct TestCredentials {
    std::string_view user;
    std::string_view password;
    std::string_view rpcauth;
};

// The ten sets the credentials window offers. They are public, hence for testing only.
const std::array<TestCredentials, 10>& testCredentialSets();

}  // namespace pd
