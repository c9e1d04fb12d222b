#include "main/DesktopPresence.hpp"

#include <cmath>

#include "core/App.hpp"
#include "core/TextValue.hpp"
#include "main/MainWindow.hpp"
#include "tools/ReportsLogsWindow.hpp"

namespace pd {

namespace {
std::optional<long long> heightIn(std::string_view text) {
    const auto value = leadingNumber(text);
    if (!value) return std::nullopt;
    return std::llround(*value);
}
}  // namespace

DesktopPresence::DesktopPresence(MainWindow& w) : w_(w) {
    w_.TRAY_NOTIFY_TICKBOX.onChange = [this] { tickChanged(); };
    // The icon follows what the window shows: its status line, its run button, its last stamp,
    // and the blockcounter's light.
    for (Element* e :
         std::initializer_list<Element*>{&w_.CURRENT_STATUS_LABEL, &w_.MULTILOADER_START_STOP_BUTTON,
                                         &w_.MULTILOADER_LAST_RUN_TEXTBOX, &w_.TASK_8_LIGHT})
        observed_.emplace_back(e, e->observe([this](const Element&) { refresh(); }));
    w_.app().desktop().actions = {
        .reports = [this] { showReports(); },
        .exit = [this] { exitAsked(); },
        .openReport = [this] { openReport(); },
    };
}

DesktopPresence::~DesktopPresence() {
    for (auto [element, id] : observed_) element->unobserve(id);
    w_.app().desktop().actions = {};
}

bool DesktopPresence::on() const {
    return w_.TRAY_NOTIFY_TICKBOX.ticked();
}

void DesktopPresence::tickChanged() {
    if (on()) {
        refresh();
    } else {
        w_.app().desktop().removeTray();
        shown_.reset();
    }
}

// ---------------------------------------------------------------- the run

void DesktopPresence::runStarted() {
    running_ = true;
    start_ = w_.app().platform().unixTime();
    alerted_.clear();
    w_.folderSizer.forget();
    refresh();
}

void DesktopPresence::runEnded() {
    // A stamp without a run of its own (the run stamped already) adds nothing.
    if (!running_) return;
    const auto run = record();
    running_ = false;
    writeHistory(run);
    if (on()) w_.app().desktop().notify(noticeOf(run.outcome));
    refresh();
}

void DesktopPresence::alert(std::string_view stamp) {
    if (!running_ || !on() || alerted_.contains(stamp)) return;
    alerted_.emplace(stamp);
    w_.app().desktop().notify(noticeOf(stamp));
}

RunRecord DesktopPresence::record() const {
    RunRecord r;
    r.start = start_;
    r.end = w_.app().platform().unixTime();
    r.outcome = w_.MULTILOADER_LAST_RUN_TEXTBOX.text();
    // The numbers the end report gives; a run that ended before stage 10 ends at its last reading.
    r.heightBefore = heightIn(w_.BLOCKCOUNT_LOG_START_TEXTBOX.text());
    r.heightAfter = heightIn(w_.BLOCKCOUNT_LOG_END_TEXTBOX.text());
    if (!r.heightAfter) r.heightAfter = heightIn(w_.blockcounter.runReading());
    if (r.heightBefore && r.heightAfter) r.downloaded = *r.heightAfter - *r.heightBefore;
    // A clock set back during the run gives no negative run time.
    r.runSeconds = std::max<std::int64_t>(r.end - r.start, 0);
    r.bytesBefore = w_.folderSizer.bytesBefore();
    r.bytesAfter = w_.folderSizer.bytesAfter();
    return r;
}

void DesktopPresence::writeHistory(const RunRecord& run) {
    // Without a home folder the path would fall to the root of the file system.
    if (w_.PACEDECK_HOME_TEXTBOX.text().empty()) return;
    auto& platform = w_.app().platform();
    const auto home = w_.home();
    const auto folder = home.folder(HomeFolder::Logs);
    auto written = platform.exists(folder) ? Outcome::success() : platform.createFolder(folder);
    if (written) written = appendRunHistory(platform, home.runHistory(), run);
    if (!written) w_.status("!!! RUN HISTORY NOT WRITTEN - " + written.error + " !!!");
}

Notice DesktopPresence::noticeOf(std::string_view stamp) const {
    const auto run = record();
    return {
        .title = "PACEDECK - " + w_.app().exe(),
        .body = std::string(stamp) + "\nBLOCKS DOWNLOADED: " +
                (run.downloaded ? std::to_string(*run.downloaded) : std::string("UNKNOWN")) +
                " - RUN TIME: " + durationText(run.runSeconds),
        .failure = stamp != successStamp,
    };
}

// ---------------------------------------------------------------- the tray icon

TrayState DesktopPresence::trayState() const {
    TrayState s;
    // STOP on the run button leaves the run unstamped, but no longer going. The last run
    // failed when the window shows its stamp on red, as it does after any fault.
    const bool going = running_ && w_.MULTILOADER_START_STOP_BUTTON.text() == "STOP";
    if (going)
        s.picture = TrayPicture::Running;
    else if (w_.MULTILOADER_LAST_RUN_TEXTBOX.back() == colour::red)
        s.picture = TrayPicture::Failed;
    // While the blockcounter follows the node (its stage light pink), the status line's tip
    // holds the progress; before and after, the status line says what the run does.
    const bool following = going && w_.TASK_8_LIGHT.back() == colour::pink;
    const auto& progress = w_.CURRENT_STATUS_LABEL.toolTip();
    s.tip =
        w_.app().exe() + " - " + (following && !progress.empty() ? progress : w_.CURRENT_STATUS_LABEL.text());
    return s;
}

void DesktopPresence::refresh() {
    if (!on()) return;
    const auto state = trayState();
    if (shown_ == state) return;
    shown_ = state;
    w_.app().desktop().showTray(state);
}

void DesktopPresence::exitAsked() {
    const auto question =
        running_ ? "A RUN IS GOING ON - EXIT " + w_.caption() + " ANYWAY? THE NODE KEEPS RUNNING."
                 : "EXIT " + w_.caption() + "?";
    // Then as EXIT does it: the choices kept, the exit stamped, the window closed.
    if (w_.app().dialogs().ask(w_, w_.caption(), question)) w_.EXIT_BUTTON.click();
}

void DesktopPresence::showReports() {
    if (!w_.app().find<ReportsLogsWindow>()) w_.app().open<ReportsLogsWindow>(&w_);
}

void DesktopPresence::openReport() {
    if (auto failed = openInTextEditor(w_.app(), w_.home().endReport()); !failed.empty()) w_.status(failed);
}

}  // namespace pd
