#include "tools/SelfTerminationWindow.hpp"

#include "core/App.hpp"

namespace pd {

SelfTerminationWindow::SelfTerminationWindow(App& app)
    : Window(app, "PACEDECK_SELF_TERMINATION_WINDOW", "PACEDECK - SELF-TERMINATION") {
    SELF_TERMINATE_BUTTON.onClick = [this] { selfTerminateClicked(); };
    ONLY_JOKING_BUTTON.onClick = [this] { close(); };
}

void SelfTerminationWindow::selfTerminateClicked() {
    // A kill, as asked: the other copies of this name first, then this one, which ends
    // its loop without closing a window, so nothing is saved.
    app().platform().terminateByName(app().exe() + app().profile().executableSuffix);
    if (auto* frontEnd = app().frontEnd()) frontEnd->quit();
}

LayoutNode SelfTerminationWindow::layout() {
    return column({QUESTION_LABEL, stretch(),
                   row({SELF_TERMINATE_BUTTON, stretch(), defaultButton(ONLY_JOKING_BUTTON)})});
}

}  // namespace pd
