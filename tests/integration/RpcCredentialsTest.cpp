#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <algorithm>
#include <string>

#include "confgen/TestCredentials.hpp"

namespace pd::test {

namespace {

// What the node computes to check a login against an rpcauth line: the hex HMAC-SHA256
// of the password, keyed by the salt text.
std::string rpcauthHash(std::string_view salt, std::string_view password) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    HMAC(EVP_sha256(), salt.data(), static_cast<int>(salt.size()),
         reinterpret_cast<const unsigned char*>(password.data()), password.size(), digest, &length);
    static constexpr char hex[] = "0123456789abcdef";
    std::string out;
    for (unsigned int i = 0; i < length; ++i) {
        out += hex[digest[i] >> 4];
        out += hex[digest[i] & 0xF];
    }
    return out;
}

// Bytes behind a URL-safe Base64 text.
int decodedLength(std::string_view urlSafe) {
    std::string standard(urlSafe);
    std::replace(standard.begin(), standard.end(), '-', '+');
    std::replace(standard.begin(), standard.end(), '_', '/');
    unsigned char out[64];
    int n = EVP_DecodeBlock(out, reinterpret_cast<const unsigned char*>(standard.data()),
                            static_cast<int>(standard.size()));
    if (n < 0) return n;
    return n - static_cast<int>(std::count(standard.begin(), standard.end(), '='));
}

}  // namespace

TEST(RpcCredentials, EveryTestSetsRpcauthLineAcceptsItsOwnPasswordOnly) {
    for (const auto& set : testCredentialSets()) {
        SCOPED_TRACE(set.user);
        auto colon = set.rpcauth.find(':');
        auto dollar = set.rpcauth.find('$');
        ASSERT_NE(colon, std::string_view::npos);
        ASSERT_NE(dollar, std::string_view::npos);
        auto salt = set.rpcauth.substr(colon + 1, dollar - colon - 1);
        auto hash = set.rpcauth.substr(dollar + 1);
        EXPECT_EQ(set.rpcauth.substr(0, colon), set.user);
        EXPECT_EQ(rpcauthHash(salt, set.password), hash);
        EXPECT_EQ(decodedLength(set.password), 32);

        std::string wrong(set.password);
        wrong[0] = wrong[0] == 'A' ? 'B' : 'A';
        EXPECT_NE(rpcauthHash(salt, wrong), hash);
    }
    // The ten sets are ten different secrets.
    for (std::size_t i = 0; i < testCredentialSets().size(); ++i)
        for (std::size_t j = i + 1; j < testCredentialSets().size(); ++j)
            EXPECT_NE(testCredentialSets()[i].password, testCredentialSets()[j].password);
}

}  // namespace pd::test
