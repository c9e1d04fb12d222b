#pragma once
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/Desktop.hpp"
#include "main/RunHistory.hpp"

namespace pd {

class Element;
class MainWindow;

// How a copy is seen without opening it: its tray icon follows the main window (the picture
// tells idle, running or last run failed; the tip is the copy's name and the status line with
// the sync progress), a notification tells the end of every run and the faults met on the
// way, and each run leaves a line in LOGS/EXE-RUN-HISTORY.csv. TRAY_NOTIFY_TICKBOX switches
// the icon and the notifications off; the history is kept either way. Nothing here can fail
// a run: a notification that cannot be given is simply not given.
class DesktopPresence {
  public:
    explicit DesktopPresence(MainWindow& w);
    ~DesktopPresence();
    DesktopPresence(const DesktopPresence&) = delete;
    DesktopPresence& operator=(const DesktopPresence&) = delete;

    // A run starts: its clock and the height it starts from.
    void runStarted();
    // The run's outcome is stamped: its line in the history, then its notification.
    void runEnded();
    // A fault met during the run ("!!! NODE STUCK !!!"): told once a run.
    void alert(std::string_view stamp);

    // What the tray icon shows now.
    TrayState trayState() const;
    // The run as its history line would keep it if it ended now.
    RunRecord record() const;

  private:
    bool on() const;
    void tickChanged();
    void refresh();
    Notice noticeOf(std::string_view stamp) const;
    void writeHistory(const RunRecord& run);
    void exitAsked();
    void showReports();
    void openReport();

    MainWindow& w_;
    bool running_ = false;
    std::int64_t start_ = 0;
    std::set<std::string, std::less<>> alerted_;
    std::optional<TrayState> shown_;
    std::vector<std::pair<Element*, int>> observed_;
};

}  // namespace pd
