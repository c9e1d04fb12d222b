#include "main/RunHistory.hpp"

#include <algorithm>
#include <array>
#include <cstdio>

#include "main/SyncHistory.hpp"

namespace pd {

namespace {

// A stamp is one line of the file whatever it holds: quoted when it has a comma or a quote.
std::string csvText(std::string_view text) {
    std::string flat;
    for (char c : text) flat += (c == '\r' || c == '\n') ? ' ' : c;
    if (flat.find_first_of(",\"") == std::string::npos) return flat;
    std::string out = "\"";
    for (char c : flat) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

// The next field of a line, and whether a comma followed it; false for a quote left open
// or text after a closing quote.
bool nextField(std::string_view& rest, std::string& field, bool& more) {
    field.clear();
    std::size_t after = 0;
    if (!rest.starts_with('"')) {
        after = std::min(rest.find(','), rest.size());
        field = rest.substr(0, after);
    } else {
        for (after = 1;; ++after) {
            if (after == rest.size()) return false;
            if (rest[after] != '"') {
                field += rest[after];
            } else if (after + 1 < rest.size() && rest[after + 1] == '"') {
                field += '"';
                ++after;
            } else {
                ++after;
                break;
            }
        }
        if (after < rest.size() && rest[after] != ',') return false;
    }
    more = after < rest.size();
    rest.remove_prefix(more ? after + 1 : after);
    return true;
}

template <typename T>
std::string optionalText(const std::optional<T>& value) {
    return value ? std::to_string(*value) : std::string();
}

// An empty field is a value not known; anything else must be a whole number.
template <typename T>
bool optionalNumber(const std::string& text, std::optional<T>& out) {
    if (text.empty()) return true;
    T value{};
    if (!wholeNumber(text, value)) return false;
    out = value;
    return true;
}

}  // namespace

std::string runHistoryLine(const RunRecord& r) {
    return utcStamp(r.start) + ',' + utcStamp(r.end) + ',' + csvText(r.outcome) + ',' +
           optionalText(r.heightBefore) + ',' + optionalText(r.heightAfter) + ',' +
           optionalText(r.downloaded) + ',' + std::to_string(r.runSeconds) + ',' +
           optionalText(r.bytesBefore) + ',' + optionalText(r.bytesAfter);
}

std::vector<RunRecord> parseRunHistory(std::string_view text) {
    std::vector<RunRecord> out;
    while (!text.empty()) {
        // A line is whole once its line break is written: the last one may be cut short.
        const auto nl = text.find('\n');
        if (nl == std::string_view::npos) break;
        auto line = text.substr(0, nl);
        text = text.substr(nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        // Exactly nine fields.
        std::array<std::string, 9> f;
        bool whole = true;
        for (std::size_t i = 0; i < f.size() && whole; ++i) {
            bool more = false;
            whole = nextField(line, f[i], more) && more == (i + 1 < f.size());
        }
        if (!whole) continue;
        RunRecord r;
        const auto start = parseUtcStamp(f[0]);
        const auto end = parseUtcStamp(f[1]);
        r.outcome = f[2];
        if (!start || !end || r.outcome.empty() || !optionalNumber(f[3], r.heightBefore) ||
            !optionalNumber(f[4], r.heightAfter) || !optionalNumber(f[5], r.downloaded) ||
            !wholeNumber(f[6], r.runSeconds) || !optionalNumber(f[7], r.bytesBefore) ||
            !optionalNumber(f[8], r.bytesAfter))
            continue;
        r.start = *start;
        r.end = *end;
        out.push_back(std::move(r));
    }
    return out;
}

Outcome appendRunHistory(Platform& platform, const std::string& path, const RunRecord& run) {
    std::string lead;
    if (!platform.exists(path)) {
        lead = std::string(runHistoryHeader) + '\n';
    } else {
        // Only the end of the file is looked at; what is there is never written again.
        const auto earlier = platform.readFile(path);
        if (!earlier) return Outcome::failure("cannot read " + path);
        if (earlier->empty())
            lead = std::string(runHistoryHeader) + '\n';
        else if (earlier->back() != '\n')
            lead = "\n";
    }
    // One write for the whole line: a kill leaves it whole or cut short, never the lines before.
    return platform.appendFile(path, lead + runHistoryLine(run) + '\n');
}

std::string durationText(std::int64_t seconds) {
    const auto s = std::max<std::int64_t>(seconds, 0);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                  static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
    return buf;
}

std::string sizeText(std::uint64_t bytes) {
    static constexpr std::array<const char*, 6> units = {"B", "KB", "MB", "GB", "TB", "PB"};
    double value = double(bytes);
    std::size_t unit = 0;
    while (value >= 1000 && unit + 1 < units.size()) {
        value /= 1000;
        ++unit;
    }
    char buf[48];
    if (unit == 0)
        std::snprintf(buf, sizeof buf, "%llu B", static_cast<unsigned long long>(bytes));
    else
        std::snprintf(buf, sizeof buf, "%.2f %s", value, units[unit]);
    return buf;
}

std::string runHistoryTable(const std::vector<RunRecord>& runs, std::size_t count) {
    using Row = std::array<std::string, 8>;
    std::vector<Row> rows{
        {"START (UTC)", "RUN TIME", "OUTCOME", "BEFORE", "AFTER", "BLOCKS", "SIZE BEFORE", "SIZE AFTER"}};
    const auto dash = [](auto& value, auto show) { return value ? show(*value) : std::string("-"); };
    const auto number = [](auto v) { return std::to_string(v); };
    const auto shown = std::min(count, runs.size());
    for (auto it = runs.rbegin(); it != runs.rbegin() + static_cast<std::ptrdiff_t>(shown); ++it) {
        auto start = utcStamp(it->start);
        start[10] = ' ';
        start.pop_back();  // "2026-12-08 16:30:05", read as a date and a time
        rows.push_back({start, durationText(it->runSeconds), it->outcome, dash(it->heightBefore, number),
                        dash(it->heightAfter, number), dash(it->downloaded, number),
                        dash(it->bytesBefore, sizeText), dash(it->bytesAfter, sizeText)});
    }
    std::array<std::size_t, 8> width{};
    for (const auto& row : rows)
        for (std::size_t c = 0; c < row.size(); ++c) width[c] = std::max(width[c], row[c].size());
    // Words to the left, numbers to the right: columns of figures compare at a glance.
    const auto rightAligned = [](std::size_t c) { return c >= 3; };
    std::string out;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string pad(width[c] - row[c].size(), ' ');
            line += c == 0 ? "" : "  ";
            line += rightAligned(c) ? pad + row[c] : row[c] + pad;
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out += line + '\n';
    }
    return out;
}

}  // namespace pd
