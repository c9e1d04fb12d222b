#include "app/setup/SetupHelp.hpp"

#include <algorithm>

#include "app/setup/Openers.hpp"
#include "app/setup/Rehearsal.hpp"
#include "core/App.hpp"
#include "core/Catalogue.hpp"
#include "core/TimeOfDay.hpp"
#include "main/MainWindow.hpp"

namespace pd::setup {

namespace {

constexpr const char* format = R"(usage: pacedeck-setup EXE FILE
       pacedeck-setup --help | --version

Sets up the copy of PACEDECK named EXE (the program's file name without folder and
extension) from FILE, by driving its windows on this computer's settings store and
files exactly as a user would: each section opens its window through the buttons that
open it, texts are typed, ticks set and buttons pressed, in the order of the file.

The whole file is first applied to a rehearsal that changes nothing; only when every
line applied there is it applied for real. A file with a wrong window or element name,
a wrong value (a tick other than 0 or 1, a time that is not a time, a line break in a
one-line field), a greyed button or a window that says no therefore changes nothing.
What the system alone can refuse (a folder without write permission, a task command)
is only known at the real run; the error then names the line it stopped at.

FILE, one item per line:
  # a comment
  [WINDOW_NAME]               opens that window (and the windows leading to it)
  ELEMENT_NAME = value        types into a text box (the rest of the line, trimmed)
  ELEMENT_NAME = "a value"    keeps its spaces; escapes \" \\ \t (\n \r only where a
                              field takes several lines)
  TICKBOX_NAME = 1            ticks (0 clears); the tick's rule runs as on a click
  press = BUTTON_NAME         presses a button
FILE is UTF-8 text of at most 1 MiB. A settings window keeps what was typed only when its
OK or SAVE button is pressed; a window still open at the end is closed by its close box.
The choices made in the main window (PACEDECK_MAIN) are kept at the end as EXIT keeps
them, without stamping an exit. A command a window runs (the weekly task's) is waited
for, and one that fails stops the file at its line. Under cron the weekly task starts the
copy EXE that PATH finds (a link named after the coin, say), else EXE in the home folder.

Example:
  [PACEDECK_MAIN_SETTINGS]
  PACEDECK_HOME_TEXTBOX = "/home/me/PACEDECK HOME"
  press = CREATE_FOLDERS_BUTTON
  press = OK_BUTTON
  [PACEDECK_CRYPTO_SETTINGS]
  CRYPTO_NAME_TEXTBOX = Bitcoin
  press = USE_QT_FOLDER_BUTTON
  press = USE_QT_FILE_BUTTON
  press = SAVE_BUTTON
  [PACEDECK_MAIN]
  RUN_DAEMON_TICKBOX = 1
  USER_COUNT_TIME_TEXTBOX = 00:05:00

Exit status: 0 applied, 1 the file could not be applied (nothing changed unless the
message says at which line the real run stopped), 2 wrong arguments or no settings store.

Windows and their elements (a time field takes hh:mm:ss or hh:mm):
)";

// Names after a heading, wrapped under it.
void list(std::string& out, std::string_view heading, const std::vector<std::string>& names) {
    if (names.empty()) return;
    std::string line = "    " + std::string(heading);
    line.resize(12, ' ');
    bool lineHasNames = false;
    for (const auto& name : names) {
        if (lineHasNames && line.size() + 1 + name.size() > 92) {
            out += line + "\n";
            line = std::string(12, ' ');
            lineHasNames = false;
        }
        line += (lineHasNames ? " " : "") + name;
        lineHasNames = true;
    }
    out += line + "\n";
}

void describe(std::string& out, const Window& w, const Opener* row) {
    out += "\n  [" + w.className() + "]  \"" + w.caption() + "\"";
    if (row != nullptr)
        out += ", opened by " + std::string(row->openerButton) + " of " + std::string(row->openerWindow);
    out += "\n";
    std::vector<std::string> texts, ticks, buttons;
    for (const auto* e : w.elements()) {
        if (!e->visible()) continue;
        if (e->kind() == ElementKind::TextBox) {
            auto text = e->name() + (TimeOfDay::parse(catalogue::defaultOf(e->name())) ? " (time)" : "");
            if (!static_cast<const TextBox*>(e)->locked())
                texts.push_back(text);
            else if (const auto* unlocker = unlockerOf(w.className(), e->name()))
                texts.push_back(text + " (ticks " + std::string(unlocker->tick) + ")");
        }
        if (e->kind() == ElementKind::TickBox) ticks.push_back(e->name());
        if (e->kind() == ElementKind::Button) buttons.push_back(e->name());
    }
    list(out, "texts", texts);
    list(out, "ticks", ticks);
    list(out, "press", buttons);
}

}  // namespace

std::string setupHelp(Platform& system, const Profile& profile) {
    MemoryStore store;
    RehearsalPlatform platform(system);
    VirtualClock clock;
    Scheduler scheduler(clock);
    App app("PACEDECK", store, platform, profile, scheduler);
    std::string out = format;
    describe(out, app.start<MainWindow>(), nullptr);
    // Every window is opened by its own button, greyed or not, so the list is what the
    // windows declare and never a copy of it.
    for (const auto& row : openers()) {
        auto open = app.openWindows();
        auto opener = std::find_if(open.begin(), open.end(),
                                   [&](Window* w) { return w->className() == row.openerWindow; });
        if (opener == open.end()) continue;
        auto* button = dynamic_cast<Button*>((*opener)->find(row.openerButton));
        if (button == nullptr) continue;
        button->setEnabled(true);
        button->setVisible(true);
        button->click();
        for (auto* w : app.openWindows())
            if (w->className() == row.window && w->owner() == *opener) describe(out, *w, &row);
    }
    return out;
}

}  // namespace pd::setup
