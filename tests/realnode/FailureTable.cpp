#include "FailureTable.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>

namespace pd::test::failures {
namespace {

constexpr std::string_view sectionTitle = "## What PACEDECK says when a node fails";

std::string trimmed(std::string_view cell) {
    auto first = cell.find_first_not_of(" `");
    if (first == std::string_view::npos) return {};
    auto last = cell.find_last_not_of(" `");
    return std::string(cell.substr(first, last - first + 1));
}

std::vector<std::string> cells(const std::string& line) {
    std::vector<std::string> out;
    std::string_view rest(line);
    rest.remove_prefix(1);  // the leading '|'
    for (auto bar = rest.find('|'); bar != std::string_view::npos; bar = rest.find('|')) {
        out.push_back(trimmed(rest.substr(0, bar)));
        rest.remove_prefix(bar + 1);
    }
    return out;
}

}  // namespace

std::optional<Row> readmeRow(std::string_view happened) {
    std::ifstream readme(PACEDECK_SOURCE_DIR "/README.md");
    bool inSection = false;
    for (std::string line; std::getline(readme, line);) {
        if (line.starts_with("## ")) inSection = line == sectionTitle;
        if (!inSection || !line.starts_with("|")) continue;
        auto row = cells(line);
        if (row.size() == 5 && row[0] == happened) return Row{row[0], row[1], row[2], row[3], row[4]};
    }
    return std::nullopt;
}

bool matches(std::string_view pattern, std::string_view text) {
    std::string expression;
    for (std::size_t at = 0; at < pattern.size();) {
        if (pattern[at] == '<') {
            if (auto close = pattern.find('>', at); close != std::string_view::npos) {
                expression += ".*";
                at = close + 1;
                continue;
            }
        }
        if (std::string_view("\\^$.|?*+()[]{}").find(pattern[at]) != std::string_view::npos)
            expression += '\\';
        expression += pattern[at++];
    }
    return std::regex_match(std::string(text), std::regex(expression));
}

void expectAsTheReadmeSays(std::string_view happened, const std::vector<std::string>& statuses,
                           std::string_view stamp, std::string_view subject) {
    auto row = readmeRow(happened);
    ASSERT_TRUE(row) << "README.md has no row \"" << happened << "\" under \"" << sectionTitle << "\"";
    std::ostringstream shown;
    for (const auto& status : statuses) shown << "\n  " << status;
    // Several statuses, one after the other, are written "first<br>then".
    auto seen = statuses.begin();
    std::string_view wanted = row->status;
    while (!wanted.empty()) {
        auto next = wanted.find("<br>");
        auto pattern = trimmed(wanted.substr(0, next));
        wanted = next == std::string_view::npos ? std::string_view{} : wanted.substr(next + 4);
        seen = std::find_if(seen, statuses.end(), [&](const auto& s) { return matches(pattern, s); });
        EXPECT_NE(seen, statuses.end()) << "no status after the last one matched is the README's \""
                                        << pattern << "\"; the run showed:" << shown.str();
        if (seen == statuses.end()) break;
    }
    EXPECT_TRUE(matches(row->stamp, stamp))
        << "stamp \"" << stamp << "\" is not the README's \"" << row->stamp << "\"";
    if (!subject.empty()) {
        EXPECT_TRUE(matches(row->subject, subject))
            << "subject \"" << subject << "\" is not the README's \"" << row->subject << "\"";
    }
}

std::string subjectOf(std::string_view mail) {
    constexpr std::string_view title = "\r\nSubject: ";
    auto at = mail.find(title);
    if (at == std::string_view::npos) return {};
    at += title.size();
    return std::string(mail.substr(at, mail.find("\r\n", at) - at));
}

}  // namespace pd::test::failures
