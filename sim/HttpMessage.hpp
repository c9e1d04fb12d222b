// HTTP/1.1 messages as both ends of the RPC connection need them: requests
// parsed by the node, responses parsed by the client. Bodies are delimited by
// Content-Length; the node always closes the connection after answering.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace simcoin {

struct HttpRequest {
    std::string method;
    std::string target;
    std::map<std::string, std::string> headers;  // names lower-cased
    std::string body;

    std::optional<std::string> header(const std::string& lowerName) const;
};

struct HttpResponse {
    int status = 200;
    std::string body;
    std::string contentType = "application/json";
    std::map<std::string, std::string> extraHeaders;
};

enum class ParseResult { Incomplete, Complete, Bad, TooLarge };

inline constexpr std::size_t maxHeaderBytes = 16 * 1024;
inline constexpr std::size_t maxBodyBytes = 8 * 1024 * 1024;

// Parses one request from the start of `buffer`.
ParseResult parseRequest(std::string_view buffer, HttpRequest& out);
// True when only the headers have arrived and they ask for "100 Continue".
bool wantsContinue(std::string_view buffer);

std::string serialiseResponse(const HttpResponse& response);
std::string serialiseRequest(const HttpRequest& request, const std::string& host);

struct ParsedResponse {
    int status = 0;
    std::string body;
};
// Parses a complete response; `closed` tells whether the peer has closed, in
// which case a response without Content-Length ends there.
ParseResult parseResponse(std::string_view buffer, bool closed, ParsedResponse& out);

const char* reasonPhrase(int status);

}  // namespace simcoin
