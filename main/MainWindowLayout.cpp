#include "main/MainWindow.hpp"

namespace pd {

// Grouped by function: the run's stages on the left, the blockcounter and the node in
// the middle, sizes, heartbeats and tools on the right; status and countdowns below.
LayoutNode MainWindow::layout() {
    auto stage = [](std::string text, TextBox& light) { return row({sized(light, 2), label(std::move(text))}); };
    auto stageTick = [](TextBox& light, TickBox& tick) { return row({sized(light, 2), tick}); };

    auto pipelineGroup = group("MULTILOADER - RUN PIPELINE", {
        row({column({
                 stage("LOG - DATE / TIME / PC NAME", TASK_1_LIGHT),
                 stageTick(TASK_2_LIGHT, TASK_2_ENABLE_TICKBOX),
                 stage("START RUNTIME-TIMER", TASK_3_LIGHT),
                 stageTick(TASK_4_LIGHT, TASK_4_ENABLE_TICKBOX),
                 stage("LOG BC FOLDER START SIZE", TASK_5_LIGHT),
                 stage("LOG BLOCK START NUMBER", TASK_6_LIGHT),
                 row({sized(TASK_7_LIGHT, 2), RUN_QT_TICKBOX, RUN_DAEMON_TICKBOX}),
                 stageTick(TASK_8_LIGHT, TASK_8_ENABLE_TICKBOX),
                 stage("BLOCKCOUNTER COMPLETED", TASK_9_LIGHT),
                 stage("LOG BLOCK END NUMBER", TASK_10_LIGHT),
             }),
             column({
                 stageTick(TASK_11_LIGHT, TASK_11_ENABLE_TICKBOX),
                 stage("QT / DAEMON SHUTDOWN", TASK_12_LIGHT),
                 stage("LOG BC FOLDER END SIZE", TASK_13_LIGHT),
                 stage("LOG ENDTIME", TASK_14_LIGHT),
                 stage("LOG TOTAL RUNTIME", TASK_15_LIGHT),
                 stage("CREATE FINAL LOG REPORT", TASK_16_LIGHT),
                 stageTick(TASK_17_LIGHT, TASK_17_ENABLE_TICKBOX),
                 stageTick(TASK_18_LIGHT, TASK_18_ENABLE_TICKBOX),
                 row({sized(TASK_19_LIGHT, 2), TASK_19_ENABLE_TICKBOX, TASK_20_ENABLE_TICKBOX}),
                 row({label("Final action:"), sized(AUTOCLOSE_OR_POWER_AUTOTIMER_TEXTBOX, 16)}),
             })}),
        row({MULTILOADER_START_STOP_BUTTON, label("Node:"), sized(RUN_QT_OR_D_TEXTBOX, 8), label("Power:"),
             sized(AUTOTIMER_ACTION_TEXTBOX, 20)}),
    });

    auto blockcounterGroup = group("BLOCKCOUNTER", {
        row({label("Current Block Number"), sized(CURRENT_BLOCK_TEXTBOX, 10), label("Last Known Block Number"),
             sized(LAST_BLOCKCOUNT_TEXTBOX, 10)}),
        row({label("Run Every: (hh:mm:ss)"), sized(USER_COUNT_TIME_TEXTBOX, 8), label("Next Run: (hh:mm:ss)"),
             sized(BLOCKCOUNT_TIMER_TEXTBOX, 8), START_STOP_TIMER_BUTTON, RUN_NOW_BUTTON}),
        row({OVERRIDE_TIMER_ENABLE_TICKBOX, sized(USER_OVERRIDE_TIME_TEXTBOX, 8), sized(OVERRIDE_TIMER_TEXTBOX, 8),
             START_OVERRIDE_BUTTON, AUTOSTART_OVERRIDE_TIMER_TICKBOX}),
        row({sized(IDENTICAL_TEXTBOX, 9), sized(VERIFYING_TEXTBOX, 9), sized(TRIPLE_CHECK_TEXTBOX, 11),
             sized(CONFIRMED_TEXTBOX, 9), FINISH_WHEN_IDENTICAL_TICKBOX}),
        row({FINISH_BLOCKCOUNTER_BUTTON, label("BLOCKCOUNTER LAST RUN:"), sized(BLOCKCOUNTER_LAST_RUN_TEXTBOX, 26)}),
    });

    auto nodeGroup = group("PROCESSES", {
        row({sized(PROCESS_TEXTBOX_1, 7), sized(PROCESS_TEXTBOX_2, 7), sized(PROCESS_TEXTBOX_3, 7),
             sized(PROCESS_TEXTBOX_4, 12)}),
    });

    auto recordGroup = group("THIS RUN", {
        row({sized(PC_NAME_TEXTBOX, 18), label("Crypto:"), sized(CRYPTO_NAME_TEXTBOX, 12)}),
        row({label("Date:"), sized(DATE_TEXTBOX, 10), label("Start:"), sized(START_TIME_TEXTBOX, 8),
             label("End:"), sized(END_TIME_TEXTBOX, 8), label("Run time:"), sized(TOTAL_RUNTIME_TEXTBOX, 8)}),
        row({label("Blocks at start:"), sized(BLOCKCOUNT_LOG_START_TEXTBOX, 9), label("at end:"),
             sized(BLOCKCOUNT_LOG_END_TEXTBOX, 9), label("downloaded:"), sized(DOWNLOADED_BLOCKS_TEXTBOX, 8)}),
        row({label("MULTILOADER LAST RUN:"), sized(MULTILOADER_LAST_RUN_TEXTBOX, 26), END_LOG_BUTTON}),
    });

    auto sizesGroup = group("BLOCKCHAIN FOLDER", {
        row({column({label("Blockchain Size - Before:"), sized(BC_FOLDER_SIZE_BEFORE, 22, 6), FFS_RUN_1_BUTTON}),
             column({label("Blockchain Size - After:"), sized(BC_FOLDER_SIZE_AFTER, 22, 6), FFS_RUN_2_BUTTON})}),
    });

    auto heartbeatGroup = group("KITT HEARTBEAT", {
        row({KITT_LABEL_1, KITT_LABEL_2, KITT_LABEL_3, KITT_LABEL_4, KITT_LABEL_5, KITT_LABEL_6, KITT_LABEL_7,
             KITT_BACKGROUND_LABEL}),
        row({label("Every:"), sized(HEARTBEAT_COUNTDOWN_TIME_TEXTBOX, 8), label("Next:"),
             sized(HEARTBEAT_COUNTDOWN_DISPLAY_TEXTBOX, 8), KITT_START_BUTTON}),
        row({VERT_NUM_LIGHT_LABEL, VERT_CAPS_LIGHT_LABEL, VERT_SCROLL_LIGHT_LABEL, stretch()}),
    });

    auto startGroup = group("AUTOSTART / AUTOCLOSE", {
        row({AUTOSTART_TICKBOX, sized(AUTOSTART_TIMER_TEXTBOX, 5), AUTOSTART_START_BUTTON}),
        row({label("Autoclose"), sized(AUTOCLOSE_TIMER_TEXTBOX, 5), AUTOCLOSE_START_BUTTON}),
        row({label("Power countdown:"), sized(CLOSE_REQUEST_COUNTDOWN_TEXTBOX, 8)}),
        ALWAYS_ON_TOP_TICKBOX,
    });

    auto settingsGroup = group("SETTINGS IN USE", {
        row({label("Home:"), sized(PACEDECK_HOME_TEXTBOX, 30)}),
        row({label("Blockchain:"), sized(BLOCKCHAIN_HOME_TEXTBOX, 30)}),
        row({label("Conf:"), sized(CONF_FILE_LOCATION_TEXTBOX, 30)}),
        row({label("QT:"), sized(QT_NAME_TEXTBOX, 12), label("Daemon:"), sized(DAEMON_NAME_TEXTBOX, 12),
             label("CLI:"), sized(CLI_NAME_TEXTBOX, 12)}),
    });

    auto toolsGroup = group("TOOLS", {
        row({SETTINGS_BUTTON, MANUAL_RUN_BUTTON, BOX_INFO_BUTTON, TERMINATOR_BUTTON}),
        row({BLOCK_TIMES_WINDOW_BUTTON, HELP_BUTTON, ABOUT_BUTTON, EXIT_BUTTON}),
    });

    auto reportGroup = group("LAST GENERATED REPORT", {sized(LOG_FILE_OUTPUT_TEXTBOX, 40, 6)});

    return column({
        row({column({pipelineGroup, recordGroup}), column({blockcounterGroup, nodeGroup, sizesGroup}),
             column({startGroup, heartbeatGroup, toolsGroup})}),
        row({settingsGroup, reportGroup}),
        row({APP_EXE_NAME_LABEL, CURRENT_STATUS_LABEL, stretch(), label("Run time:"), RUNTIME_LABEL}),
    });
}

}  // namespace pd
