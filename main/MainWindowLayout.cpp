#include "main/MainWindow.hpp"

namespace pd {

// Grouped by function. Top: the run's stages with their lights and choices; the
// blockcounter and the chain folder's sizes; the countdowns, heartbeats and node
// processes. Below: the run's record, the settings in use, the tools and the last
// report; then the status line and the run-time clock.
LayoutNode MainWindow::layout() {
    auto stage = [](std::string text, TextBox& light) {
        return row({sized(light, 2), label(std::move(text))});
    };
    auto stageTick = [](TextBox& light, TickBox& tick) { return row({sized(light, 2), tick}); };

    auto pipelineGroup = group(
        "MULTILOADER - RUN PIPELINE",
        {
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
                     stage("LOG BC FOLDER END SIZE", TASK_13_LIGHT), stage("LOG ENDTIME", TASK_14_LIGHT),
                     stage("LOG TOTAL RUNTIME", TASK_15_LIGHT),
                     stage("CREATE FINAL LOG REPORT", TASK_16_LIGHT),
                     stageTick(TASK_17_LIGHT, TASK_17_ENABLE_TICKBOX),
                     stageTick(TASK_18_LIGHT, TASK_18_ENABLE_TICKBOX),
                     stageTick(TASK_19_LIGHT, TASK_19_ENABLE_TICKBOX),
                     row({label("", 3), TASK_20_ENABLE_TICKBOX}),  // the other final action, under AUTOCLOSE
                 })}),
            row({MULTILOADER_START_STOP_BUTTON, label("Node:"), sized(RUN_QT_OR_D_TEXTBOX, 7), label("Then:"),
                 AUTOCLOSE_OR_POWER_AUTOTIMER_TEXTBOX, AUTOTIMER_ACTION_TEXTBOX}),
        });

    auto blockcounterGroup =
        group("BLOCKCOUNTER",
              {
                  row({label("Current block"), sized(CURRENT_BLOCK_TEXTBOX, 10), label("Last known"),
                       sized(LAST_BLOCKCOUNT_TEXTBOX, 10)}),
                  row({label("Every"), sized(USER_COUNT_TIME_TEXTBOX, 8), label("Next"),
                       sized(BLOCKCOUNT_TIMER_TEXTBOX, 8), START_STOP_TIMER_BUTTON, RUN_NOW_BUTTON}),
                  row({OVERRIDE_TIMER_ENABLE_TICKBOX, sized(USER_OVERRIDE_TIME_TEXTBOX, 8),
                       sized(OVERRIDE_TIMER_TEXTBOX, 8), START_OVERRIDE_BUTTON}),
                  row({sized(IDENTICAL_TEXTBOX, 9), sized(VERIFYING_TEXTBOX, 9),
                       sized(TRIPLE_CHECK_TEXTBOX, 11), sized(CONFIRMED_TEXTBOX, 9)}),
                  row({FINISH_BLOCKCOUNTER_BUTTON, FINISH_WHEN_IDENTICAL_TICKBOX}),
                  row({AUTOSTART_OVERRIDE_TIMER_TICKBOX, label("Last run:"), BLOCKCOUNTER_LAST_RUN_TEXTBOX}),
              });

    auto sizesGroup = group("BLOCKCHAIN FOLDER",
                            {
                                row({column({row({label("Blockchain Size - Before:"), FFS_RUN_1_BUTTON}),
                                             sized(BC_FOLDER_SIZE_BEFORE, 18, 6)}),
                                     column({row({label("Blockchain Size - After:"), FFS_RUN_2_BUTTON}),
                                             sized(BC_FOLDER_SIZE_AFTER, 18, 6)})}),
                            });

    auto startGroup = group(
        "AUTOSTART / AUTOCLOSE",
        {
            row({AUTOSTART_TICKBOX, stretch(), sized(AUTOSTART_TIMER_TEXTBOX, 5), AUTOSTART_START_BUTTON}),
            row({label("AutoClose"), stretch(), sized(AUTOCLOSE_TIMER_TEXTBOX, 5), AUTOCLOSE_START_BUTTON}),
            row({ALWAYS_ON_TOP_TICKBOX, stretch(), label("Power"),
                 sized(CLOSE_REQUEST_COUNTDOWN_TEXTBOX, 8)}),
        });

    auto heartbeatGroup = group(
        "KITT HEARTBEAT", {
                              row({KITT_LABEL_1, KITT_LABEL_2, KITT_LABEL_3, KITT_LABEL_4, KITT_LABEL_5,
                                   KITT_LABEL_6, KITT_LABEL_7, KITT_BACKGROUND_LABEL, stretch(),
                                   VERT_NUM_LIGHT_LABEL, VERT_CAPS_LIGHT_LABEL, VERT_SCROLL_LIGHT_LABEL}),
                              row({label("Every"), sized(HEARTBEAT_COUNTDOWN_TIME_TEXTBOX, 8), label("Next"),
                                   sized(HEARTBEAT_COUNTDOWN_DISPLAY_TEXTBOX, 8), stretch()}),
                              row({stretch(), KITT_START_BUTTON}),
                          });

    auto nodeGroup =
        group("NODE PROCESSES", {
                                    row({sized(PROCESS_TEXTBOX_1, 7), sized(PROCESS_TEXTBOX_2, 7),
                                         sized(PROCESS_TEXTBOX_3, 5), sized(PROCESS_TEXTBOX_4, 8)}),
                                });

    auto recordGroup = group(
        "THIS RUN",
        {
            row({label("PC:"), sized(PC_NAME_TEXTBOX, 16), label("Crypto:"), sized(CRYPTO_NAME_TEXTBOX, 10)}),
            row({label("Date:"), sized(DATE_TEXTBOX, 10), label("Start:"), sized(START_TIME_TEXTBOX, 8),
                 label("End:"), sized(END_TIME_TEXTBOX, 8)}),
            row({label("Blocks:"), sized(BLOCKCOUNT_LOG_START_TEXTBOX, 9), label("to"),
                 sized(BLOCKCOUNT_LOG_END_TEXTBOX, 9), label("+"), sized(DOWNLOADED_BLOCKS_TEXTBOX, 8)}),
            row({label("Run time:"), sized(TOTAL_RUNTIME_TEXTBOX, 8), label("Last run:"),
                 MULTILOADER_LAST_RUN_TEXTBOX}),
        });

    auto settingsGroup =
        group("SETTINGS IN USE", {
                                     row({label("Home:"), PACEDECK_HOME_TEXTBOX}),
                                     row({label("Chain:"), BLOCKCHAIN_HOME_TEXTBOX}),
                                     row({label("Conf:"), CONF_FILE_LOCATION_TEXTBOX}),
                                     row({label("QT:"), QT_NAME_TEXTBOX, label("D:"), DAEMON_NAME_TEXTBOX,
                                          label("CLI:"), CLI_NAME_TEXTBOX}),
                                 });

    auto toolsGroup = group("TOOLS", {
                                         row({SETTINGS_BUTTON, MANUAL_RUN_BUTTON, BOX_INFO_BUTTON}),
                                         row({TERMINATOR_BUTTON, BLOCK_TIMES_WINDOW_BUTTON, END_LOG_BUTTON}),
                                         row({HELP_BUTTON, ABOUT_BUTTON, EXIT_BUTTON}),
                                     });

    auto reportGroup = group("LAST GENERATED REPORT", {sized(LOG_FILE_OUTPUT_TEXTBOX, 20, 4)});

    return column({
        row({pipelineGroup, column({blockcounterGroup, sizesGroup}),
             column({startGroup, heartbeatGroup, nodeGroup})}),
        row({recordGroup, settingsGroup, toolsGroup, reportGroup}),
        row({APP_EXE_NAME_LABEL, CURRENT_STATUS_LABEL, stretch(), label("Running for"), RUNTIME_LABEL}),
    });
}

}  // namespace pd
