#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "core/HomeLayout.hpp"
#include "platform/Platform.hpp"

namespace pd {

class MainWindow;

// What the node printed, kept in LOGS/EXE-NODE-OUTPUT.LOG: a node that refuses to start or
// goes away says why there ("Error: Specified data directory ... does not exist."), and
// that line belongs beside the error the run reports. The file never holds much more than
// maxBytes: it is cut to its last keepBytes before every start and every few seconds while
// a node may write to it.
class NodeOutput {
  public:
    static constexpr std::uint64_t maxBytes = 1024 * 1024;
    static constexpr std::uint64_t keepBytes = 256 * 1024;
    // Begins the lines PACEDECK writes where a start's output begins.
    static constexpr std::string_view startMark = "--- PACEDECK STARTS THE ";

    explicit NodeOutput(MainWindow& w) : w_(w) {}

    // Starts one of this copy's scripts, hidden; the node's own (qt or daemon) with its
    // output going to the file, which is first bounded and marked where this start begins.
    Outcome runScript(Script script);
    // Holds the file to its bound while a node may write to it.
    void keepBounded();
    // The last line the node printed since its start, kept for the end report; empty when
    // it printed nothing.
    const std::string& noteLastWords();
    const std::string& lastWords() const { return lastWords_; }
    void forgetLastWords() { lastWords_.clear(); }

    // The last line that is not blank after the last start mark (after all, without one).
    static std::string lastLineOfStart(std::string_view output);

  private:
    // The file for a start of the node ("QT" or "DAEMON"); empty without a home folder.
    std::string beginStart(std::string_view node);

    MainWindow& w_;
    std::string file_;  // empty until a node was started
    std::string lastWords_;
};

}  // namespace pd
