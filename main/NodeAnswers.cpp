#include "main/NodeAnswers.hpp"

#include <charconv>
#include <cstdio>
#include <initializer_list>

namespace pd {

namespace {

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

template <typename T>
std::optional<T> number(std::string_view text) {
    T out{};
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, out);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return out;
}

// The value text of a member of the first object in the output, at its top level.
std::optional<std::string_view> member(std::string_view json, std::string_view name) {
    auto i = json.find('{');
    if (i == std::string_view::npos) return std::nullopt;
    int depth = 0;
    for (; i < json.size(); ++i) {
        const char c = json[i];
        if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            if (--depth == 0) return std::nullopt;
        } else if (c == '"') {
            auto j = i + 1;
            while (j < json.size() && json[j] != '"') j += json[j] == '\\' ? 2 : 1;
            if (j >= json.size()) return std::nullopt;  // a string cut off: nothing more to read
            const auto text = json.substr(i + 1, j - i - 1);
            i = j;
            if (depth != 1 || text != name) continue;
            auto k = j + 1;
            while (k < json.size() && blank(json[k])) ++k;
            if (k >= json.size() || json[k] != ':') continue;  // a string value, not a name
            ++k;
            while (k < json.size() && blank(json[k])) ++k;
            auto e = k;
            while (e < json.size() && json[e] != ',' && json[e] != '}' && json[e] != ']' && !blank(json[e]))
                ++e;
            return json.substr(k, e - k);
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<ChainInfo> parseChainInfo(std::string_view output) {
    const auto blocks = member(output, "blocks");
    const auto headers = member(output, "headers");
    if (!blocks || !headers) return std::nullopt;
    ChainInfo info;
    const auto b = number<long long>(*blocks);
    const auto h = number<long long>(*headers);
    if (!b || !h || *b < 0 || *h < 0) return std::nullopt;
    info.blocks = *b;
    info.headers = *h;
    const auto ibd = member(output, "initialblockdownload");
    info.initialDownload = ibd && *ibd == "true";
    const auto progress = member(output, "verificationprogress");
    const auto p = progress ? number<double>(*progress) : std::nullopt;
    info.progress = p && *p >= 0 && *p <= 1 ? *p
                    : info.headers > 0      ? double(info.blocks) / double(info.headers)
                                            : 0.0;
    return info;
}

std::optional<long long> parsePeerCount(std::string_view output) {
    const auto n = number<long long>(trimmed(output));
    if (!n || *n < 0) return std::nullopt;
    return n;
}

bool lacksHeaders(std::string_view output) {
    return member(output, "blocks") && !member(output, "headers");
}

std::optional<long long> blockHeight(std::string_view reading) {
    const auto n = number<long long>(trimmed(reading));
    if (!n || *n < 0) return std::nullopt;
    return n;
}

Reply classify(const CommandResult& r) {
    const auto said = [&r](std::initializer_list<std::string_view> texts) {
        for (auto text : texts)
            if (r.output.find(text) != std::string::npos) return true;
        return false;
    };
    if (!r.started) return Reply::Unreadable;
    if (r.exitStatus == 0) return trimmed(r.output).empty() ? Reply::OldClient : Reply::Answered;
    // The client's own words first: they hold no shell's wording.
    if (said({"error code: -32601", "Method not found"})) return Reply::OldClient;
    if (said({"error code: -28"})) return Reply::WarmingUp;
    if (said({"Authorization failed", "incorrect rpcuser or rpcpassword", "HTTP error 401", "HTTP error 403",
              "Could not locate RPC credentials"}))
        return Reply::Refused;
    if (said({"Could not connect to the server", "couldn't connect to server"})) return Reply::Unreachable;
    // sh: 127 not found, 126 not executable; cmd: 9009, or after "call" only its words
    // ("... is not recognized as an internal or external command", Wine's "Can't recognize
    // ... as an internal or external command").
    if (r.exitStatus == 127 || r.exitStatus == 126 || r.exitStatus == 9009 ||
        said({"as an internal or external command"}))
        return Reply::CliMissing;
    return Reply::Unreadable;
}

NodeReport readReport(const CommandResult& chainInfo, const CommandResult* peerCount) {
    NodeReport report;
    auto output = withoutCommandEcho(chainInfo.output);
    report.reply = classify({chainInfo.started, chainInfo.exitStatus, std::string(output)});
    if (report.reply != Reply::Answered) return report;
    const auto chain = parseChainInfo(output);
    if (!chain) {
        report.reply = lacksHeaders(output) ? Reply::NoHeaders : Reply::Unreadable;
        return report;
    }
    report.chain = *chain;
    if (!peerCount) return report;
    output = withoutCommandEcho(peerCount->output);
    report.reply = classify({peerCount->started, peerCount->exitStatus, std::string(output)});
    if (report.reply != Reply::Answered) return report;
    const auto peers = parsePeerCount(output);
    if (!peers) report.reply = Reply::Unreadable;
    report.peers = peers.value_or(0);
    return report;
}

std::optional<std::int64_t> secondsToGo(const std::vector<SyncSample>& recent) {
    if (recent.size() < 2) return std::nullopt;
    const auto& first = recent.front();
    const auto& last = recent.back();
    const auto risen = last.height - first.height;
    const auto took = last.unixSeconds - first.unixSeconds;
    if (risen <= 0 || took <= 0) return std::nullopt;
    const auto left = last.headers - last.height;
    if (left <= 0) return 0;
    // Rounded up: a last block still to come is never "00:00:00".
    return (left * took + risen - 1) / risen;
}

std::string progressTip(const SyncSample& now, double progress, std::optional<std::int64_t> toGo) {
    char percent[32];
    std::snprintf(percent, sizeof percent, "%.2f", progress * 100);
    std::string eta = "UNKNOWN";
    if (toGo) {
        char buf[48];
        std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", static_cast<long long>(*toGo / 3600),
                      static_cast<long long>(*toGo / 60 % 60), static_cast<long long>(*toGo % 60));
        eta = buf;
    }
    return "HEIGHT " + std::to_string(now.height) + " OF " + std::to_string(now.headers) + " - " + percent +
           " % - " + std::to_string(now.peers) + " PEERS - ETA " + eta;
}

// Windows' own cmd shows the echo on its console only; a cli never starts a line with a
// drive's prompt.
std::string_view withoutCommandEcho(std::string_view text) {
    for (;;) {
        auto line = text;
        if (line.starts_with("\r\n"))
            line.remove_prefix(2);
        else if (line.starts_with('\n'))
            line.remove_prefix(1);
        const char drive = line.empty() ? '\0' : static_cast<char>(line[0] | 0x20);
        const bool prompt = drive >= 'a' && drive <= 'z' && line.substr(1, 2) == ":\\";
        const auto end = line.find('\n');
        if (!prompt || end == std::string_view::npos ||
            line.substr(0, end).find('>') == std::string_view::npos)
            return text;
        text = line.substr(end + 1);
    }
}

}  // namespace pd
