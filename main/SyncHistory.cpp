#include "main/SyncHistory.hpp"

#include <chrono>
#include <cstdio>

namespace pd {

namespace {

// Splits off the text up to the next comma (or the end).
std::string_view field(std::string_view& rest) {
    const auto comma = rest.find(',');
    const auto out = rest.substr(0, comma);
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    return out;
}

}  // namespace

std::string utcStamp(std::int64_t unixSeconds) {
    using namespace std::chrono;
    const sys_seconds t{seconds{unixSeconds}};
    const auto day = floor<days>(t);
    const year_month_day ymd{day};
    const hh_mm_ss hms{t - day};
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02u-%02uT%02d:%02d:%02dZ", int(ymd.year()), unsigned(ymd.month()),
                  unsigned(ymd.day()), int(hms.hours().count()), int(hms.minutes().count()),
                  int(hms.seconds().count()));
    return buf;
}

std::optional<std::int64_t> parseUtcStamp(std::string_view s) {
    // YYYY-MM-DDTHH:MM:SSZ
    if (s.size() != 20 || s[4] != '-' || s[7] != '-' || s[10] != 'T' || s[13] != ':' || s[16] != ':' ||
        s[19] != 'Z')
        return std::nullopt;
    int y = 0;
    unsigned mo = 0, d = 0;
    int h = 0, mi = 0, se = 0;
    if (!wholeNumber(s.substr(0, 4), y) || !wholeNumber(s.substr(5, 2), mo) ||
        !wholeNumber(s.substr(8, 2), d) || !wholeNumber(s.substr(11, 2), h) ||
        !wholeNumber(s.substr(14, 2), mi) || !wholeNumber(s.substr(17, 2), se))
        return std::nullopt;
    using namespace std::chrono;
    const year_month_day ymd{year{y}, month{mo}, day{d}};
    if (!ymd.ok() || h > 23 || mi > 59 || se > 59) return std::nullopt;
    const auto t = sys_days{ymd} + hours{h} + minutes{mi} + seconds{se};
    return t.time_since_epoch().count();
}

std::string syncHistoryLine(const SyncSample& s) {
    return utcStamp(s.unixSeconds) + ',' + std::to_string(s.height) + ',' + std::to_string(s.headers) + ',' +
           std::to_string(s.peers);
}

std::vector<SyncSample> parseSyncHistory(std::string_view text) {
    std::vector<SyncSample> out;
    while (!text.empty()) {
        const auto nl = text.find('\n');
        auto line = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        auto rest = line;
        const auto time = parseUtcStamp(field(rest));
        SyncSample s;
        if (!time || !wholeNumber(field(rest), s.height) || !wholeNumber(field(rest), s.headers) ||
            !wholeNumber(field(rest), s.peers) || !rest.empty())
            continue;
        s.unixSeconds = *time;
        out.push_back(s);
    }
    return out;
}

}  // namespace pd
