#include "main/Pipeline.hpp"

#include "main/MainWindow.hpp"

namespace pd {

Pipeline::Pipeline(MainWindow& w) : w_(w) {
    w_.MULTILOADER_START_STOP_BUTTON.onClick = [this] { startStopClicked(); };
}

void Pipeline::startStopClicked() {
    auto& b = w_.MULTILOADER_START_STOP_BUTTON;
    if (b.text() == "START") {
        b.setText("STOP");
        w_.AUTOSTART_START_BUTTON.setEnabled(false);
        w_.TASK_1_MAIN_TIMER.start();
        b.setToolTip("STOP MULTILOADER");
    } else {
        b.setText("START");
        w_.AUTOSTART_START_BUTTON.setEnabled(true);
        b.setToolTip("START MULTILOADER");
        for (int n = 1; n <= 20; ++n) w_.taskTimer(n).stop();
    }
}

void Pipeline::start() { w_.TASK_1_MAIN_TIMER.start(); }

}  // namespace pd
