#include "tools/TerminatorWindow.hpp"

#include "core/App.hpp"
#include "main/MainWindow.hpp"
#include "tools/SelfTerminationWindow.hpp"

namespace pd {

TerminatorWindow::TerminatorWindow(App& app)
    : Window(app, "PACEDECK_TERMINATOR_WINDOW", "PACEDECK - PROCESS TERMINATOR") {
    const auto& nl = app.profile().lineEnd;
    WARNING_LABEL_3.setText("!!! WARNING: TERMINATING QT / DAEMON PROCESSES MAY / " + nl +
                            "PROBABLY WILL CAUSE BLOCKCHAIN DATABASE CORRUPTION !!!" + nl);
    PROCESS_TEXTBOX_4.setText(app.profile().mailerFile);
    ENABLE_TERMINATOR_TICKBOX.onChange = [this] { armClicked(); };
    QT_TERMINATE_BUTTON.onClick = [this] { terminateNamedBox(QT_NAME_TEXTBOX); };
    DAEMON_TERMINATE_BUTTON.onClick = [this] { terminateNamedBox(DAEMON_NAME_TEXTBOX); };
    CLI_TERMINATE_BUTTON.onClick = [this] { terminateNamedBox(CLI_NAME_TEXTBOX); };
    SENDEMAIL_TERMINATE_BUTTON.onClick = [this] { TERMINATE_PROCESSES(PROCESS_TEXTBOX_4.text()); };
    CUSTOM_TERMINATE_BUTTON.onClick = [this] { customTerminateClicked(); };
    OK_BUTTON.onClick = [this] { close(); };
    MIRROR_PROCESS_STATE_TIMER.onTick = [this] { mirrorTick(); };
    CUSTOM_PROCESS_WATCHER_TIMER.onTick = [this] { customWatchTick(); };
}

void TerminatorWindow::load() {
    restoreGeometry();
    CUSTOM_PROCESS_NAME_TEXTBOX.setText("");
    MIRROR_PROCESS_STATE_TIMER.setInterval(1000);
    CUSTOM_PROCESS_WATCHER_TIMER.setInterval(1000);
    auto& main = mainWindow(app());
    for (auto [mine, theirs] : {std::pair{&QT_NAME_TEXTBOX, &main.QT_NAME_TEXTBOX},
                                std::pair{&DAEMON_NAME_TEXTBOX, &main.DAEMON_NAME_TEXTBOX},
                                std::pair{&CLI_NAME_TEXTBOX, &main.CLI_NAME_TEXTBOX}}) {
        mine->setText(theirs->text());
        mine->setToolTip(theirs->text());
    }
}

void TerminatorWindow::unload() {
    storePosition();
}

void TerminatorWindow::armClicked() {
    bool armed = ENABLE_TERMINATOR_TICKBOX.ticked();
    CUSTOM_PROCESS_NAME_TEXTBOX.setEnabled(armed);
    CUSTOM_PROCESS_WATCHER_TIMER.setEnabled(armed);
    MIRROR_PROCESS_STATE_TIMER.setEnabled(armed);
    if (armed) return;
    CUSTOM_PROCESS_NAME_TEXTBOX.setText("");
    // Disarmed means nothing can be terminated: the buttons grey with the mirror.
    for (auto* box : {&CUSTOM_PROCESS_NAME_TEXTBOX, &PROCESS_TEXTBOX_4, &QT_NAME_TEXTBOX,
                      &DAEMON_NAME_TEXTBOX, &CLI_NAME_TEXTBOX})
        box->setBack(colour::windowBackground);
    for (auto* box : {&PROCESS_TEXTBOX_4, &QT_NAME_TEXTBOX, &DAEMON_NAME_TEXTBOX, &CLI_NAME_TEXTBOX})
        box->setEnabled(false);
    for (auto* button : {&QT_TERMINATE_BUTTON, &DAEMON_TERMINATE_BUTTON, &CLI_TERMINATE_BUTTON,
                         &SENDEMAIL_TERMINATE_BUTTON, &CUSTOM_TERMINATE_BUTTON})
        button->setEnabled(false);
}

void TerminatorWindow::terminateNamedBox(const TextBox& box) {
    if (!box.text().empty()) TERMINATE_PROCESSES(box.text());
}

void TerminatorWindow::customTerminateClicked() {
    // The program's own name asks first; the same name in another letter case is
    // another name.
    const auto& name = CUSTOM_PROCESS_NAME_TEXTBOX.text();
    if (name == app().exe() + app().profile().executableSuffix)
        app().open<SelfTerminationWindow>(this);
    else
        TERMINATE_PROCESSES(name);
}

void TerminatorWindow::mirrorTick() {
    auto& main = mainWindow(app());
    PROCESS_TEXTBOX_4.setBack(main.PROCESS_TEXTBOX_4.back());
    QT_NAME_TEXTBOX.setBack(main.PROCESS_TEXTBOX_1.back());
    DAEMON_NAME_TEXTBOX.setBack(main.PROCESS_TEXTBOX_2.back());
    CLI_NAME_TEXTBOX.setBack(main.PROCESS_TEXTBOX_3.back());
    for (auto [box, button] : {std::pair{&PROCESS_TEXTBOX_4, &SENDEMAIL_TERMINATE_BUTTON},
                               std::pair{&QT_NAME_TEXTBOX, &QT_TERMINATE_BUTTON},
                               std::pair{&DAEMON_NAME_TEXTBOX, &DAEMON_TERMINATE_BUTTON},
                               std::pair{&CLI_NAME_TEXTBOX, &CLI_TERMINATE_BUTTON}}) {
        bool running = box->back() == colour::green;
        button->setEnabled(running);
        box->setEnabled(running);
    }
}

void TerminatorWindow::customWatchTick() {
    const auto& name = CUSTOM_PROCESS_NAME_TEXTBOX.text();
    if (name.empty()) {
        CUSTOM_PROCESS_NAME_TEXTBOX.setBack(colour::windowBackground);
        CUSTOM_TERMINATE_BUTTON.setEnabled(false);
        return;
    }
    bool running = IS_PROCESS_RUNNING(name);
    CUSTOM_PROCESS_NAME_TEXTBOX.setBack(running ? colour::green : colour::red);
    CUSTOM_TERMINATE_BUTTON.setEnabled(running);
}

bool TerminatorWindow::IS_PROCESS_RUNNING(const std::string& name) {
    auto table = app().platform().processes();
    return table && table->has(name);
}

void TerminatorWindow::TERMINATE_PROCESSES(const std::string& name) {
    int count = app().platform().terminateByName(name);
    TERMINATED_LABEL.setText("TERMINATED " + std::to_string(count) + " PROCESS(ES) NAMED " + name);
}

LayoutNode TerminatorWindow::layout() {
    return column({
        WARNING_LABEL_1,
        WARNING_LABEL_2,
        ENABLE_TERMINATOR_TICKBOX,
        grid({
            row({label("QT Process:"), sized(QT_NAME_TEXTBOX, 30), QT_TERMINATE_BUTTON}),
            row({label("DAEMON Process:"), sized(DAEMON_NAME_TEXTBOX, 30), DAEMON_TERMINATE_BUTTON}),
            row({label("CLI Process:"), sized(CLI_NAME_TEXTBOX, 30), CLI_TERMINATE_BUTTON}),
            row({label("EMAIL Process:"), sized(PROCESS_TEXTBOX_4, 30), SENDEMAIL_TERMINATE_BUTTON}),
            row({label("Custom Process Name:"), sized(CUSTOM_PROCESS_NAME_TEXTBOX, 30),
                 CUSTOM_TERMINATE_BUTTON}),
        }),
        WARNING_LABEL_3,
        stretch(),
        row({TERMINATED_LABEL, stretch(), defaultButton(OK_BUTTON)}),
    });
}

}  // namespace pd
