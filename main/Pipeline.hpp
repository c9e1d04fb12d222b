#pragma once

namespace pd {

class MainWindow;

// The run (the window calls it the MULTILOADER): nineteen one-second stages, from the
// start record to the final action.
class Pipeline {
public:
    explicit Pipeline(MainWindow& w);
    // MULTILOADER_START_STOP_BUTTON.
    void startStopClicked();
    // Stage 1 starts: by the button or by the autostart countdown.
    void start();

private:
    MainWindow& w_;
};

}  // namespace pd
