// The README's table "What PACEDECK says when a node fails" is what users read about a failing
// node; each real-node run of a failure checks what it saw against its row, so the table
// cannot drift from the program.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pd::test::failures {

struct Row {
    std::string happened;  // the first cell: names the row
    std::string madeHow;
    std::string status;   // the status lines the run shows, in order: "first<br>then"
    std::string stamp;    // MULTILOADER LAST RUN
    std::string subject;  // the end mail's subject
};

// The row of the README's table whose first cell is HAPPENED; cells lose their backticks.
std::optional<Row> readmeRow(std::string_view happened);

// Whether TEXT is PATTERN, where each "<...>" in the pattern stands for any text.
bool matches(std::string_view pattern, std::string_view text);

// The Subject header of a mail as the sink kept it.
std::string subjectOf(std::string_view mail);

// Checks (as gtest failures) that the run showed the row's statuses, in order, among STATUSES and ended
// with its stamp and mail subject (SUBJECT empty: no mail was set up, the cell is not checked).
void expectAsTheReadmeSays(std::string_view happened, const std::vector<std::string>& statuses,
                           std::string_view stamp, std::string_view subject = {});

}  // namespace pd::test::failures
