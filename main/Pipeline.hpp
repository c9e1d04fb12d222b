#pragma once
#include <string>
#include <string_view>

#include "core/HomeLayout.hpp"
#include "core/TimeOfDay.hpp"

namespace pd {

class MainWindow;

// The run (the window calls it the MULTILOADER): nineteen one-second stages, from the
// start record to the final action. Each stage does its work on its first tick, starts the
// next stage and stops itself; stage 9 waits for the blockcounter and stage 12 for the
// node to exit, looking again on every tick. Stages 14 to 16 belong to EndReport.
class Pipeline {
  public:
    explicit Pipeline(MainWindow& w);
    // MULTILOADER_START_STOP_BUTTON.
    void startStopClicked();
    // Stage 1 starts: by the button or by the autostart countdown.
    void start();

    // One stage hands the run to another: the next one's timer starts, its own stops.
    static void handOver(MainWindow& w, int from, int to);

  private:
    void logDateTimePcName();    // 1
    void startHeartbeat();       // 2
    void startRuntimeTimer();    // 3
    void sendStartEmail();       // 4
    void sizeFolderBefore();     // 5
    void logStartBlock();        // 6
    void runNode();              // 7
    void runBlockcounter();      // 8
    void waitForBlockcounter();  // 9
    void logEndBlock();          // 10
    void sendCliStop();          // 11
    void waitForNodeExit();      // 12
    void sizeFolderAfter();      // 13
    void sendReportEmail();      // 17
    void stopHeartbeat();        // 18
    void finalAction();          // 19

    // Starts one of this copy's scripts; a script that cannot be started is named in the
    // status line, its stage's light turns red and the run notes `fault`. Returns whether it
    // started.
    bool runScript(Script script, int stage, std::string_view fault);
    // The run button back at START with no stage running.
    void stopped();

  public:
    // How long stage 12 waits for the node to stop. Bitcoin Core's own service file gives
    // its node ten minutes (TimeoutStopSec=600) to flush its caches and stop.
    static constexpr TimeOfDay nodeStopLimit{0, 10, 0};

  private:
    MainWindow& w_;
    bool cliStopSent_ = false;  // stage 12 waits only for a node that was asked to stop
    int nodeStopWaited_ = 0;    // seconds, one per tick of stage 12
};

}  // namespace pd
