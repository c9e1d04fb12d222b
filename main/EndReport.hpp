#pragma once

namespace pd {

class MainWindow;

// Stages 14 to 16 of a run: end time, run time, and the end report shown and written.
class EndReport {
public:
    explicit EndReport(MainWindow& w);

private:
    MainWindow& w_;
};

}  // namespace pd
