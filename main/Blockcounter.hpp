#pragma once

namespace pd {

class MainWindow;

// Decides when the chain has caught up: polls the block count at an interval, screens
// zero and empty readings, and believes a match only after a verify and a triple check.
class Blockcounter {
public:
    explicit Blockcounter(MainWindow& w);
    // The run starts the blockcounter (stage 8) and, when it is not chosen, stops it.
    void startFromPipeline();
    void skipFromPipeline();

private:
    MainWindow& w_;
};

}  // namespace pd
