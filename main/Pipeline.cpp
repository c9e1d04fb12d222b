#include "main/Pipeline.hpp"

#include <tuple>

#include "core/App.hpp"
#include "main/MainWindow.hpp"
#include "main/ReportMail.hpp"
#include "main/RunBlocks.hpp"
#include "main/SyncVerdict.hpp"
#include "schedule/PowerAutotimerWindow.hpp"

namespace pd {

namespace {
constexpr std::string_view nodeNotStarted = "!!! QT / DAEMON NOT STARTED !!!";
constexpr std::string_view nodeNotSeenToStop = "!!! NODE NOT SEEN TO STOP !!!";
}  // namespace

Pipeline::Pipeline(MainWindow& w) : w_(w) {
    w_.MULTILOADER_START_STOP_BUTTON.onClick = [this] { startStopClicked(); };
    w_.TASK_1_MAIN_TIMER.onTick = [this] { logDateTimePcName(); };
    w_.TASK_2_MAIN_TIMER.onTick = [this] { startHeartbeat(); };
    w_.TASK_3_MAIN_TIMER.onTick = [this] { startRuntimeTimer(); };
    w_.TASK_4_MAIN_TIMER.onTick = [this] { sendStartEmail(); };
    w_.TASK_5_MAIN_TIMER.onTick = [this] { sizeFolderBefore(); };
    w_.TASK_6_MAIN_TIMER.onTick = [this] { logStartBlock(); };
    w_.TASK_7_MAIN_TIMER.onTick = [this] { runNode(); };
    w_.TASK_8_MAIN_TIMER.onTick = [this] { runBlockcounter(); };
    w_.TASK_9_MAIN_TIMER.onTick = [this] { waitForBlockcounter(); };
    w_.TASK_10_MAIN_TIMER.onTick = [this] { logEndBlock(); };
    w_.TASK_11_MAIN_TIMER.onTick = [this] { sendCliStop(); };
    w_.TASK_12_MAIN_TIMER.onTick = [this] { waitForNodeExit(); };
    w_.TASK_13_MAIN_TIMER.onTick = [this] { sizeFolderAfter(); };
    w_.TASK_17_MAIN_TIMER.onTick = [this] { sendReportEmail(); };
    w_.TASK_18_MAIN_TIMER.onTick = [this] { stopHeartbeat(); };
    w_.TASK_19_MAIN_TIMER.onTick = [this] { finalAction(); };
}

void Pipeline::startStopClicked() {
    auto& b = w_.MULTILOADER_START_STOP_BUTTON;
    if (b.text() == "START") {
        b.setText("STOP");
        w_.AUTOSTART_START_BUTTON.setEnabled(false);
        start();
        b.setToolTip("STOP MULTILOADER");
    } else {
        // Stopping leaves the node, the blockcounter, the heartbeats, the clock and any
        // measurement running, and the lights as they are; START begins again at stage 1.
        stopped();
        w_.stampRunOutcome(manualStopStamp);
    }
}

void Pipeline::stopped() {
    auto& b = w_.MULTILOADER_START_STOP_BUTTON;
    b.setText("START");
    w_.AUTOSTART_START_BUTTON.setEnabled(true);
    b.setToolTip("START MULTILOADER");
    for (int n = 1; n <= 20; ++n) w_.taskTimer(n).stop();
    // No run waits for the blockcounter any more: a manual finish would start stage 9.
    w_.FINISH_BLOCKCOUNTER_BUTTON.setEnabled(false);
}

void Pipeline::start() {
    w_.beginRun();
    w_.presence.runStarted();
    w_.nodeOutput.forgetLastWords();
    w_.TASK_1_MAIN_TIMER.start();
}

void Pipeline::handOver(MainWindow& w, int from, int to) {
    w.taskTimer(to).start();
    w.taskTimer(from).stop();
}

bool Pipeline::runScript(Script script, int stage, std::string_view fault) {
    auto& platform = w_.app().platform();
    auto path = w_.home().script(script);
    auto outcome = w_.nodeOutput.runScript(script);
    if (outcome) return true;
    w_.taskLight(stage).setBack(colour::red);
    w_.noteRunFault(fault);
    if (!platform.exists(path))
        w_.status("!!! SCRIPT MISSING - " + path + " - GOING ON !!!");
    else
        w_.status("!!! SCRIPT NOT STARTED - " + outcome.error + " - GOING ON !!!");
    return false;
}

void Pipeline::logDateTimePcName() {
    auto& platform = w_.app().platform();
    w_.TASK_1_LIGHT.setBack(colour::cyan);
    // A node program without a name can be neither started nor watched: the run would only
    // pretend to bring the chain up to date. It ends here, before anything is sent or started.
    for (auto [tick, name, which] : {std::tuple{&w_.RUN_QT_TICKBOX, &w_.QT_NAME_TEXTBOX, "QT"},
                                     std::tuple{&w_.RUN_DAEMON_TICKBOX, &w_.DAEMON_NAME_TEXTBOX, "DAEMON"}}) {
        if (!tick->ticked() || !name->text().empty()) continue;
        const std::string node = which;
        w_.TASK_1_LIGHT.setBack(colour::red);
        w_.status("!!! RUN " + node + " IS TICKED BUT NO " + node +
                  " PROGRAM IS NAMED - NAME IT IN THE CRYPTO SETTINGS - RUN ENDED !!!");
        w_.noteRunFault("!!! " + node + " PROGRAM NOT NAMED !!!");
        stopped();
        w_.stampRunOutcome();
        return;
    }
    w_.status("LOGGING - DATE / TIME / PC NAME");
    w_.START_TIME_TEXTBOX.setText(platform.timeText());
    w_.DATE_TEXTBOX.setText(platform.dateText());
    w_.COMPUTER_NAME = platform.computerName();
    w_.PC_NAME_TEXTBOX.setText("PC Name = " + w_.COMPUTER_NAME);
    handOver(w_, 1, 2);
}

void Pipeline::startHeartbeat() {
    w_.TASK_1_LIGHT.setBack(colour::green);
    w_.TASK_2_LIGHT.setBack(colour::cyan);
    if (w_.TASK_2_ENABLE_TICKBOX.ticked()) {
        w_.status("STARTING KITT HEARTBEAT");
        w_.heartbeats.startFromPipeline();
        w_.TASK_2_LIGHT.setBack(colour::green);
    } else {
        w_.status("SKIPPING KITT HEARTBEAT");
        w_.KITT_START_BUTTON.setText("START KITT");
        w_.TASK_2_LIGHT.setBack(colour::red);
    }
    handOver(w_, 2, 3);
}

void Pipeline::startRuntimeTimer() {
    w_.TASK_3_LIGHT.setBack(colour::cyan);
    w_.status("STARTING RUNTIME-TIMER");
    w_.RUNTIME_TIMER.start();
    handOver(w_, 3, 4);
}

void Pipeline::sendStartEmail() {
    w_.TASK_3_LIGHT.setBack(colour::green);
    w_.TASK_4_LIGHT.setBack(colour::cyan);
    if (w_.TASK_4_ENABLE_TICKBOX.ticked()) {
        w_.status("SENDING START EMAIL");
        if (runScript(Script::StartEmail, 4, "!!! START EMAIL NOT SENT !!!"))
            w_.TASK_4_LIGHT.setBack(colour::green);
    } else {
        w_.status("SKIPPING START EMAIL");
        w_.TASK_4_LIGHT.setBack(colour::red);
    }
    handOver(w_, 4, 5);
}

void Pipeline::sizeFolderBefore() {
    w_.TASK_5_LIGHT.setBack(colour::cyan);
    w_.status("BLOCKCHAIN FOLDER SIZE - BEFORE");
    w_.FOLDER_SIZER_BEFORE_TIMER.start();
    handOver(w_, 5, 6);
}

void Pipeline::logStartBlock() {
    w_.TASK_5_LIGHT.setBack(colour::green);
    w_.TASK_6_LIGHT.setBack(colour::cyan);
    w_.status("LOGGING START BLOCK NUMBER");
    // The reading is kept as the client printed it; the report converts it. It is the last
    // run's end only when that run stopped its node there.
    w_.BLOCKCOUNT_LOG_START_TEXTBOX.setText(runblocks::takeStart(w_.app()));
    handOver(w_, 6, 7);
}

void Pipeline::runNode() {
    w_.TASK_6_LIGHT.setBack(colour::green);
    w_.TASK_7_LIGHT.setBack(colour::cyan);
    if (w_.RUN_QT_TICKBOX.ticked()) {
        w_.status("RUNNING QT...");
        w_.RUN_QT_OR_D_TEXTBOX.setText("QT");
        if (runScript(Script::RunQt, 7, nodeNotStarted)) w_.TASK_7_LIGHT.setBack(colour::green);
    }
    if (w_.RUN_DAEMON_TICKBOX.ticked()) {
        w_.status("RUNNING DAEMON...");
        w_.RUN_QT_OR_D_TEXTBOX.setText("DAEMON");
        if (runScript(Script::RunDaemon, 7, nodeNotStarted)) w_.TASK_7_LIGHT.setBack(colour::green);
    }
    if (!w_.RUN_QT_TICKBOX.ticked() && !w_.RUN_DAEMON_TICKBOX.ticked()) {
        w_.status("SKIPPING QT / DAEMON STARTUP");
        w_.TASK_7_LIGHT.setBack(colour::red);
    }
    handOver(w_, 7, 8);
}

void Pipeline::runBlockcounter() {
    w_.TASK_8_LIGHT.setBack(colour::cyan);
    if (w_.TASK_8_ENABLE_TICKBOX.ticked()) {
        w_.TASK_9_LIGHT.setBack(colour::cyan);
        w_.status("RUNNING BLOCKCOUNTER...");
        w_.blockcounter.startFromPipeline();
        w_.TASK_8_LIGHT.setBack(colour::pink);
        // The blockcounter starts stage 9 when it ends.
        w_.TASK_8_MAIN_TIMER.stop();
    } else {
        w_.status("SKIPPING BLOCKCOUNTER");
        w_.TASK_8_LIGHT.setBack(colour::red);
        w_.TASK_9_LIGHT.setBack(colour::red);
        w_.blockcounter.skipFromPipeline();
        handOver(w_, 8, 10);
    }
}

void Pipeline::waitForBlockcounter() {
    // A blockcounter started by its own START carries on as a run from here.
    w_.joinRunAtBlockcounterEnd();
    // The blockcounter's end signal colours this light green as it starts this stage.
    if (w_.TASK_9_LIGHT.back() == colour::green) {
        w_.status("!!! BLOCKCOUNTER ENDED !!!");
        w_.TASK_10_LIGHT.setBack(colour::cyan);
        handOver(w_, 9, 10);
    } else {
        w_.status("SKIPPED BLOCKCOUNTER");
        w_.TASK_9_LIGHT.setBack(colour::red);
    }
}

void Pipeline::logEndBlock() {
    w_.status("LOGGING END BLOCK NUMBER");
    w_.BLOCKCOUNT_LOG_END_TEXTBOX.setText(runblocks::endNumber(w_.blockcounter.runReading()));
    handOver(w_, 10, 11);
}

void Pipeline::sendCliStop() {
    w_.TASK_10_LIGHT.setBack(colour::green);
    w_.TASK_11_LIGHT.setBack(colour::cyan);
    if (w_.TASK_11_ENABLE_TICKBOX.ticked()) {
        // The light stays cyan until the node has gone (stage 12).
        w_.status("SENDING CLI-STOP REQUEST...");
        cliStopSent_ = runScript(Script::RunCliStop, 11, nodeNotSeenToStop);
        nodeStopWaited_ = 0;
    } else {
        w_.status("SKIPPING CLI-STOP REQUEST");
        w_.TASK_11_LIGHT.setBack(colour::red);
    }
    handOver(w_, 11, 12);
}

void Pipeline::waitForNodeExit() {
    w_.TASK_12_LIGHT.setBack(colour::cyan);
    if (!w_.TASK_11_ENABLE_TICKBOX.ticked()) {
        w_.status("SKIPPING QT / DAEMON SHUTDOWN");
        w_.TASK_12_LIGHT.setBack(colour::red);
        handOver(w_, 12, 13);
        return;
    }
    // Waiting for a node that was never asked to stop, or that cannot be seen, would last
    // for ever without a word: say why and go on.
    const char* cannotWait = nullptr;
    if (!cliStopSent_)
        cannotWait = "!!! NODE NOT ASKED TO STOP - THE CLI-STOP SCRIPT DID NOT START - GOING ON !!!";
    else if (w_.QT_NAME_TEXTBOX.text().empty() && w_.DAEMON_NAME_TEXTBOX.text().empty())
        cannotWait = "!!! QT / DAEMON PROCESS NAME NOT SET - CANNOT SEE THE NODE STOP - GOING ON !!!";
    const bool nodeSeen =
        w_.PROCESS_TEXTBOX_1.back() != colour::red || w_.PROCESS_TEXTBOX_2.back() != colour::red;
    // The stop goes through the cli: when the run ended because the cli is gone or the node
    // refuses its credentials, the node never got it, and would hold the run the whole limit.
    if (!cannotWait && nodeSeen &&
        (w_.runFault() == cliMissingStamp || w_.runFault() == credentialsRefusedStamp))
        cannotWait = "!!! NODE NOT ASKED TO STOP - THE CLI CANNOT REACH IT - THE NODE RUNS ON - GOING ON !!!";
    if (cannotWait) {
        w_.status(cannotWait);
        w_.TASK_12_LIGHT.setBack(colour::red);
        w_.noteRunFault(nodeNotSeenToStop);
        handOver(w_, 12, 13);
        return;
    }
    if (nodeSeen) {
        // A node that never stops must not hold an unattended run for good: say what is
        // waited for, and after the limit go on with the fault recorded.
        auto who = w_.processWatch.ownNodeProcesses();
        if (who.empty()) who = "THE NODE";
        const TimeOfDay waited(++nodeStopWaited_);
        if (waited.seconds() < nodeStopLimit.seconds()) {
            w_.status("WAITING FOR " + who + " TO STOP - " + waited.hhmmss() + " OF " +
                      nodeStopLimit.hhmmss());
            return;
        }
        w_.status("!!! NODE NOT SEEN TO STOP - " + who + " STILL RUNS AFTER " + nodeStopLimit.hhmmss() +
                  " - GOING ON !!!");
        w_.TASK_12_LIGHT.setBack(colour::red);
        w_.noteRunFault("!!! NODE NOT SEEN TO STOP !!!");
        handOver(w_, 12, 13);
        return;
    }
    if (w_.RUN_QT_TICKBOX.ticked()) {
        w_.status("!!! QT SHUTDOWN COMPLETE !!!");
        w_.TASK_11_LIGHT.setBack(colour::green);
    }
    if (w_.RUN_DAEMON_TICKBOX.ticked()) {
        w_.status("!!! DAEMON SHUTDOWN COMPLETE !!!");
        w_.TASK_11_LIGHT.setBack(colour::green);
    }
    if (w_.runFault().empty()) runblocks::keepEnd(w_.app(), w_.BLOCKCOUNT_LOG_END_TEXTBOX.text());
    handOver(w_, 12, 13);
}

void Pipeline::sizeFolderAfter() {
    w_.TASK_12_LIGHT.setBack(colour::green);
    w_.TASK_13_LIGHT.setBack(colour::cyan);
    w_.status("BLOCKCHAIN FOLDER SIZE - AFTER");
    w_.FOLDER_SIZER_AFTER_TIMER.start();
    handOver(w_, 13, 14);
}

void Pipeline::sendReportEmail() {
    // A report that did not reach its file keeps its stage red (stage 16).
    if (w_.endReport.written()) w_.TASK_16_LIGHT.setBack(colour::green);
    w_.TASK_17_LIGHT.setBack(colour::cyan);
    if (!w_.TASK_17_ENABLE_TICKBOX.ticked()) {
        w_.status("SKIPPING REPORT EMAIL");
        w_.TASK_17_LIGHT.setBack(colour::red);
    } else if (auto mail = prepareReportMail(w_)) {
        w_.status(mail->status);
        if (runScript(mail->script, 17, "!!! REPORT EMAIL NOT SENT !!!"))
            w_.TASK_17_LIGHT.setBack(colour::green);
    } else {
        w_.TASK_17_LIGHT.setBack(colour::red);
    }
    handOver(w_, 17, 18);
}

void Pipeline::stopHeartbeat() {
    w_.TASK_18_LIGHT.setBack(colour::cyan);
    if (w_.TASK_18_ENABLE_TICKBOX.ticked()) {
        w_.status("STOPPING KITT HEARTBEAT");
        w_.heartbeats.stopFromPipeline();
        w_.TASK_18_LIGHT.setBack(colour::green);
    } else {
        w_.status("SKIPPING KITT HEARTBEAT STOP");
        w_.TASK_18_LIGHT.setBack(colour::red);
    }
    handOver(w_, 18, 19);
}

void Pipeline::finalAction() {
    w_.END_LOG_BUTTON.setEnabled(true);
    w_.TASK_19_LIGHT.setBack(colour::cyan);
    // The run ends here, whichever final action follows: stamped before a power action can
    // end the program.
    w_.stampRunOutcome();
    if (w_.TASK_19_ENABLE_TICKBOX.ticked()) {
        w_.status("!!! AUTOCLOSE STARTING !!!");
        w_.AUTOCLOSE_OR_POWER_AUTOTIMER_TEXTBOX.setText("AUTOCLOSE");
        w_.AUTOTIMER_ACTION_TEXTBOX.setText("");
        w_.AUTOCLOSE_START_BUTTON.setEnabled(true);
        w_.AUTOCLOSE_TIMER.start();
        w_.TASK_19_LIGHT.setBack(colour::green);
    } else {
        w_.TASK_19_LIGHT.setBack(colour::red);
    }
    if (w_.TASK_20_ENABLE_TICKBOX.ticked()) {
        w_.status("!!! RUNNING POWER AUTOTIMER !!!");
        w_.AUTOCLOSE_OR_POWER_AUTOTIMER_TEXTBOX.setText("POWER AUTOTIMER");
        w_.app().open<PowerAutotimerWindow>(&w_, false);
        w_.TASK_19_LIGHT.setBack(colour::green);
    }
    if (!w_.TASK_19_ENABLE_TICKBOX.ticked() && !w_.TASK_20_ENABLE_TICKBOX.ticked()) {
        w_.status("SKIPPING AUTOCLOSE / POWER AUTOTIMER");
        w_.TASK_19_LIGHT.setBack(colour::red);
        w_.status("!!! COMPLETED - FINISHED - DONE !!!");
    }
    // The run is over; the run button reads STOP until autoclose or the user resets it.
    w_.TASK_19_MAIN_TIMER.stop();
}

}  // namespace pd
