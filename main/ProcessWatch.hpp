#pragma once
#include <string>
#include <string_view>

namespace pd {

class MainWindow;
class ProcessTable;
class TextBox;

// The four process lights: qt, daemon, cli and mailer, refreshed from one look at the
// process table per tick of MULTI_PROCESS_WATCHER_TIMER.
class ProcessWatch {
  public:
    explicit ProcessWatch(MainWindow& w);
    void tick();

  private:
    // Green with the running tip, or red with the stopped one; returns whether it runs.
    bool show(const ProcessTable& table, TextBox& light, std::string_view name, const std::string& label);

    MainWindow& w_;
};

}  // namespace pd
