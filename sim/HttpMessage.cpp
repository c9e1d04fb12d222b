#include "HttpMessage.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <ctime>

#include "Options.hpp"
#include "System.hpp"

namespace simcoin {

std::optional<std::string> HttpRequest::header(const std::string& lowerName) const {
    auto it = headers.find(lowerName);
    if (it == headers.end()) return std::nullopt;
    return it->second;
}

namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

// Splits the header block into a first line and lower-cased header fields.
bool parseHead(std::string_view head, std::string& firstLine, std::map<std::string, std::string>& headers) {
    std::size_t pos = head.find("\r\n");
    firstLine = std::string(head.substr(0, pos));
    while (pos != std::string_view::npos && pos + 2 < head.size()) {
        std::size_t start = pos + 2;
        pos = head.find("\r\n", start);
        auto line = head.substr(start, pos == std::string_view::npos ? std::string_view::npos : pos - start);
        if (line.empty()) break;
        auto colon = line.find(':');
        if (colon == std::string_view::npos) return false;
        headers[lower(trim(line.substr(0, colon)))] = trim(line.substr(colon + 1));
    }
    return true;
}

std::optional<std::size_t> contentLength(const std::map<std::string, std::string>& headers) {
    auto it = headers.find("content-length");
    if (it == headers.end()) return std::nullopt;
    try {
        std::size_t used = 0;
        unsigned long long n = std::stoull(it->second, &used);
        if (used != it->second.size()) return std::nullopt;
        return static_cast<std::size_t>(n);
    } catch (...) {
        return std::nullopt;
    }
}

std::string httpDate() {
    auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    const std::tm utc = utcTime(now);
    std::array<char, 64> buf{};
    std::strftime(buf.data(), buf.size(), "%a, %d %b %Y %H:%M:%S GMT", &utc);
    return buf.data();
}

}  // namespace

const char* reasonPhrase(int status) {
    switch (status) {
        case 100:
            return "Continue";
        case 200:
            return "OK";
        case 400:
            return "Bad Request";
        case 401:
            return "Unauthorized";
        case 403:
            return "Forbidden";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        case 413:
            return "Payload Too Large";
        case 500:
            return "Internal Server Error";
        case 503:
            return "Service Unavailable";
        default:
            return "Unknown";
    }
}

ParseResult parseRequest(std::string_view buffer, HttpRequest& out) {
    auto end = buffer.find("\r\n\r\n");
    if (end == std::string_view::npos)
        return buffer.size() > maxHeaderBytes ? ParseResult::TooLarge : ParseResult::Incomplete;
    if (end > maxHeaderBytes) return ParseResult::TooLarge;
    std::string firstLine;
    HttpRequest req;
    if (!parseHead(buffer.substr(0, end + 2), firstLine, req.headers)) return ParseResult::Bad;
    auto sp1 = firstLine.find(' ');
    auto sp2 = firstLine.find(' ', sp1 == std::string::npos ? sp1 : sp1 + 1);
    if (sp1 == std::string::npos || sp2 == std::string::npos) return ParseResult::Bad;
    req.method = firstLine.substr(0, sp1);
    req.target = firstLine.substr(sp1 + 1, sp2 - sp1 - 1);
    if (!firstLine.substr(sp2 + 1).starts_with("HTTP/1.")) return ParseResult::Bad;
    if (req.headers.count("transfer-encoding"))
        return ParseResult::Bad;  // chunked bodies are not spoken here
    std::size_t length = 0;
    if (req.headers.count("content-length")) {
        auto n = contentLength(req.headers);
        if (!n) return ParseResult::Bad;
        length = *n;
    }
    if (length > maxBodyBytes) return ParseResult::TooLarge;
    std::size_t bodyStart = end + 4;
    if (buffer.size() < bodyStart + length) return ParseResult::Incomplete;
    req.body = std::string(buffer.substr(bodyStart, length));
    out = std::move(req);
    return ParseResult::Complete;
}

bool wantsContinue(std::string_view buffer) {
    auto end = buffer.find("\r\n\r\n");
    if (end == std::string_view::npos) return false;
    return lower(buffer.substr(0, end)).find("\r\nexpect: 100-continue") != std::string::npos;
}

std::string serialiseResponse(const HttpResponse& r) {
    std::string out = "HTTP/1.1 " + std::to_string(r.status) + " " + reasonPhrase(r.status) + "\r\n";
    if (!r.body.empty()) out += "Content-Type: " + r.contentType + "\r\n";
    out += "Date: " + httpDate() + "\r\n";
    for (const auto& [k, v] : r.extraHeaders) out += k + ": " + v + "\r\n";
    out += "Content-Length: " + std::to_string(r.body.size()) + "\r\n";
    out += "Connection: close\r\n\r\n";
    out += r.body;
    return out;
}

std::string serialiseRequest(const HttpRequest& r, const std::string& host) {
    std::string out = r.method + " " + r.target + " HTTP/1.1\r\n";
    out += "Host: " + host + "\r\n";
    for (const auto& [k, v] : r.headers) out += k + ": " + v + "\r\n";
    out += "Content-Length: " + std::to_string(r.body.size()) + "\r\n";
    out += "Connection: close\r\n\r\n";
    out += r.body;
    return out;
}

ParseResult parseResponse(std::string_view buffer, bool closed, ParsedResponse& out) {
    auto end = buffer.find("\r\n\r\n");
    if (end == std::string_view::npos) {
        if (buffer.size() > maxHeaderBytes) return ParseResult::TooLarge;
        return closed ? ParseResult::Bad : ParseResult::Incomplete;
    }
    std::string statusLine;
    std::map<std::string, std::string> headers;
    if (!parseHead(buffer.substr(0, end + 2), statusLine, headers)) return ParseResult::Bad;
    if (!statusLine.starts_with("HTTP/1.") || statusLine.size() < 12) return ParseResult::Bad;
    try {
        out.status = std::stoi(statusLine.substr(9, 3));
    } catch (...) {
        return ParseResult::Bad;
    }
    std::size_t bodyStart = end + 4;
    if (auto length = contentLength(headers)) {
        if (buffer.size() < bodyStart + *length) return closed ? ParseResult::Bad : ParseResult::Incomplete;
        out.body = std::string(buffer.substr(bodyStart, *length));
        return ParseResult::Complete;
    }
    if (!closed) return ParseResult::Incomplete;
    out.body = std::string(buffer.substr(bodyStart));
    return ParseResult::Complete;
}

}  // namespace simcoin
