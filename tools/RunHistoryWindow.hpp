#pragma once
#include <string>

#include "core/Window.hpp"

namespace pd {

// PACEDECK_RUN_HISTORY_WINDOW: the copy's last runs from LOGS/EXE-RUN-HISTORY.csv as a table
// (newest first), and the same runs drawn as a chart in the picture viewer.
class RunHistoryWindow final : public Window {
  public:
    explicit RunHistoryWindow(App& app);
    LayoutNode layout() override;

    // clang-format off
    Label RUN_HISTORY_LABEL{*this, "RUN_HISTORY_LABEL"};
    TextBox RUN_HISTORY_TEXTBOX{*this, "RUN_HISTORY_TEXTBOX", {.locked = true, .multiLine = true}};
    Button RUN_CHART_BUTTON{*this, "RUN_CHART_BUTTON", {.text = "RUN CHART"}};
    Button HISTORY_FILE_BUTTON{*this, "HISTORY_FILE_BUTTON", {.text = "HISTORY FILE"}};
    Label HISTORY_STATUS_LABEL{*this, "HISTORY_STATUS_LABEL", {.fore = colour::red}};
    Button OK_BUTTON{*this, "OK_BUTTON", {.text = "OK"}};
    // clang-format on

  protected:
    void load() override;
    void unload() override { storePosition(); }

  private:
    void chartClicked();
};

// A copy's run history under a home folder, as the window and `pacedeck --history` show it:
// a heading that says which runs (or why there are none) and the table of the last runs.
struct RunHistoryShown {
    bool any = false;
    std::string heading;
    std::string table;
};
RunHistoryShown runHistoryShown(App& app, const std::string& home);
// The same for a terminal, from the home folder in the copy's settings: a title line, the
// heading and the table.
std::string runHistoryPrintout(App& app);

}  // namespace pd
