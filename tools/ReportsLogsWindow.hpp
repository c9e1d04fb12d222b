#pragma once
#include <string>

#include "core/Window.hpp"

namespace pd {

// PACEDECK_REPORTS_LOGS_WINDOW: the end report of the last run as the main window holds
// it, the saved report and the mailer's log opened in the text editor, the run's sync
// chart in the picture viewer, and the history of the copy's runs.
class ReportsLogsWindow final : public Window {
  public:
    explicit ReportsLogsWindow(App& app);
    LayoutNode layout() override;

    // clang-format off
    TextBox LOG_FILE_OUTPUT_TEXTBOX{*this, "LOG_FILE_OUTPUT_TEXTBOX", {.text = "!!! LOG GENERATED AFTER RUN COMPLETION !!!", .locked = true, .multiLine = true}};
    Button REFRESH_BUTTON{*this, "REFRESH_BUTTON", {.text = "REFRESH"}};
    Button VIEW_LAST_SAVED_REPORT_BUTTON{*this, "VIEW_LAST_SAVED_REPORT_BUTTON", {.text = "LAST SAVED REPORT"}};
    Button SE_LOG_BUTTON{*this, "SE_LOG_BUTTON"};
    Button SYNC_CHART_BUTTON{*this, "SYNC_CHART_BUTTON", {.text = "SYNC CHART"}};
    Button RUN_HISTORY_BUTTON{*this, "RUN_HISTORY_BUTTON", {.text = "RUN HISTORY"}};
    Label OPENS_IN_LABEL{*this, "OPENS_IN_LABEL"};
    Button LOG_MANAGER_BUTTON{*this, "LOG_MANAGER_BUTTON", {.text = "LOG MANAGER"}};
    Label EDITOR_STATUS_LABEL{*this, "EDITOR_STATUS_LABEL", {.fore = colour::red}};
    Button OK_BUTTON{*this, "OK_BUTTON", {.text = "OK"}};
    // clang-format on

  protected:
    void load() override;
    void unload() override { storePosition(); }

  private:
    void refreshClicked();
    void openChart();
};

// Opens a file in the platform's text editor, or a picture in its viewer, without waiting.
// A missing file is the program's to report; what is given back is the message for a program
// that did not start, or nothing.
std::string openInTextEditor(App& app, const std::string& path);
std::string openInViewer(App& app, const std::string& path);

}  // namespace pd
