#pragma once
#include <string>
#include <string_view>

namespace pd {

class MainWindow;

// Stages 14 to 16 of a run: end time, run time, and the end report shown and written.
class EndReport {
  public:
    // Shown as the number of blocks downloaded when the reading before, after, or both are
    // missing.
    static constexpr std::string_view unknownBefore = "!!! UNKNOWN - NO BLOCK NUMBER BEFORE THIS RUN !!!";
    static constexpr std::string_view unknownAfter = "!!! UNKNOWN - NO BLOCK NUMBER AFTER THIS RUN !!!";
    static constexpr std::string_view unknownCount =
        "!!! UNKNOWN - NO BLOCK NUMBER BEFORE OR AFTER THIS RUN !!!";

    explicit EndReport(MainWindow& w);

    // The report as the window's fields make it now, with the profile's line ends.
    std::string compose() const;
    // Whether this run's report reached its file; the report e-mail must not send an
    // older report in its place.
    bool written() const { return written_; }

  private:
    void logEndTime();       // stage 14
    void logTotalRuntime();  // stage 15
    void createReport();     // stage 16
    void writeReportFile();

    MainWindow& w_;
    bool written_ = false;
};

}  // namespace pd
