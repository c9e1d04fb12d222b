#include "main/MainWindow.hpp"

namespace pd {

// Grouped by function. Top: the run's stages with their lights and choices, and the node
// processes; the blockcounter, the countdowns and heartbeats, and the chain folder's
// sizes. Below: the run's record, the settings in use, the tools and the last
// report; then the status line, the last run's outcome and the run-time clock. Every
// caption is the stage's or the field's own words.
LayoutNode MainWindow::layout() {
    // A stage: its light, and its words as a caption or as its tickbox's caption.
    auto stage = [](TextBox& light, std::string words) {
        return row({lamp(light), label(std::move(words))});
    };
    auto stageTick = [](TextBox& light, TickBox& tick) { return row({lamp(light), tick}); };

    auto pipelineGroup =
        group("MULTILOADER - RUN PIPELINE",
              {
                  row({column({
                           stage(TASK_1_LIGHT, "LOG - DATE / TIME / PC NAME"),
                           stageTick(TASK_2_LIGHT, TASK_2_ENABLE_TICKBOX),
                           stage(TASK_3_LIGHT, "START RUNTIME-TIMER"),
                           stageTick(TASK_4_LIGHT, TASK_4_ENABLE_TICKBOX),
                           stage(TASK_5_LIGHT, "LOG BC FOLDER START SIZE"),
                           stage(TASK_6_LIGHT, "LOG BLOCK START NUMBER"),
                           stage(TASK_7_LIGHT, "RUN QT / DAEMON"),
                           row({RUN_QT_TICKBOX, RUN_DAEMON_TICKBOX}),
                           stageTick(TASK_8_LIGHT, TASK_8_ENABLE_TICKBOX),
                           stage(TASK_9_LIGHT, "BLOCKCOUNTER COMPLETED"),
                           stage(TASK_10_LIGHT, "LOG BLOCK END NUMBER"),
                       }),
                       column({
                           stageTick(TASK_11_LIGHT, TASK_11_ENABLE_TICKBOX),
                           stage(TASK_12_LIGHT, "QT / DAEMON SHUTDOWN"),
                           stage(TASK_13_LIGHT, "LOG BC FOLDER END SIZE"),
                           stage(TASK_14_LIGHT, "LOG ENDTIME"), stage(TASK_15_LIGHT, "LOG TOTAL RUNTIME"),
                           stage(TASK_16_LIGHT, "CREATE FINAL LOG REPORT"),
                           stageTick(TASK_17_LIGHT, TASK_17_ENABLE_TICKBOX),
                           stageTick(TASK_18_LIGHT, TASK_18_ENABLE_TICKBOX),
                           stageTick(TASK_19_LIGHT, TASK_19_ENABLE_TICKBOX),
                           row({TASK_20_ENABLE_TICKBOX}),  // the other final action, under AUTOCLOSE
                       })}),
                  row({MULTILOADER_START_STOP_BUTTON, label("Node:"), sized(RUN_QT_OR_D_TEXTBOX, 8)}),
                  row({label("Then:"), sized(AUTOCLOSE_OR_POWER_AUTOTIMER_TEXTBOX, 18),
                       sized(AUTOTIMER_ACTION_TEXTBOX, 20)}),
              });

    auto blockcounterGroup = group(
        "BLOCKCOUNTER", {
                            grid({
                                row({label("Current Block Number"), sized(CURRENT_BLOCK_TEXTBOX, 10)}),
                                row({label("Last Known Block Number"), sized(LAST_BLOCKCOUNT_TEXTBOX, 10)}),
                                row({label("Run Every: (hh:mm:ss)"), sized(USER_COUNT_TIME_TEXTBOX, 8),
                                     START_STOP_TIMER_BUTTON, RUN_NOW_BUTTON}),
                                row({label("Next Run: (hh:mm:ss)"), sized(BLOCKCOUNT_TIMER_TEXTBOX, 8)}),
                                row({OVERRIDE_TIMER_ENABLE_TICKBOX, sized(USER_OVERRIDE_TIME_TEXTBOX, 8),
                                     sized(OVERRIDE_TIMER_TEXTBOX, 8), START_OVERRIDE_BUTTON}),
                                row({AUTOSTART_OVERRIDE_TIMER_TICKBOX}),
                            }),
                            row({sized(IDENTICAL_TEXTBOX, 10), sized(VERIFYING_TEXTBOX, 10),
                                 sized(TRIPLE_CHECK_TEXTBOX, 12), sized(CONFIRMED_TEXTBOX, 11)}),
                            row({FINISH_BLOCKCOUNTER_BUTTON, FINISH_WHEN_IDENTICAL_TICKBOX}),
                            row({label("BLOCKCOUNTER LAST RUN:"), sized(BLOCKCOUNTER_LAST_RUN_TEXTBOX, 28)}),
                        });

    // The six-line results side by side, each under its words and its Run button.
    auto sizesGroup =
        group("BLOCKCHAIN FOLDER",
              {
                  row({column({label("Blockchain Size - Before:"), row({FFS_RUN_1_BUTTON}), stretch()}),
                       lines(BC_FOLDER_SIZE_BEFORE, 20, 5),
                       column({label("Blockchain Size - After:"), row({FFS_RUN_2_BUTTON}), stretch()}),
                       lines(BC_FOLDER_SIZE_AFTER, 20, 5)}),
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
        "KITT HEARTBEAT",
        {
            row({lamp(KITT_LABEL_1, 1), lamp(KITT_LABEL_2, 1), lamp(KITT_LABEL_3, 1), lamp(KITT_LABEL_4, 1),
                 lamp(KITT_LABEL_5, 1), lamp(KITT_LABEL_6, 1), lamp(KITT_LABEL_7, 1),
                 lamp(KITT_BACKGROUND_LABEL, 1), stretch(), lamp(VERT_NUM_LIGHT_LABEL),
                 lamp(VERT_CAPS_LIGHT_LABEL), lamp(VERT_SCROLL_LIGHT_LABEL)}),
            row({label("Every"), sized(HEARTBEAT_COUNTDOWN_TIME_TEXTBOX, 8), label("Next"),
                 sized(HEARTBEAT_COUNTDOWN_DISPLAY_TEXTBOX, 8), stretch()}),
            row({stretch(), KITT_START_BUTTON}),
        });

    auto nodeGroup =
        group("NODE PROCESSES", {
                                    row({sized(PROCESS_TEXTBOX_1, 5), sized(PROCESS_TEXTBOX_2, 7),
                                         sized(PROCESS_TEXTBOX_3, 5), sized(PROCESS_TEXTBOX_4, 9)}),
                                });

    auto recordGroup = group("THIS RUN", {
                                             grid({
                                                 row({label("PC:"), sized(PC_NAME_TEXTBOX, 12),
                                                      label("Start:"), sized(START_TIME_TEXTBOX, 8)}),
                                                 row({label("Crypto:"), sized(CRYPTO_NAME_TEXTBOX, 12),
                                                      label("End:"), sized(END_TIME_TEXTBOX, 8)}),
                                                 row({label("Date:"), sized(DATE_TEXTBOX, 12),
                                                      label("Run time:"), sized(TOTAL_RUNTIME_TEXTBOX, 8)}),
                                             }),
                                             row({label("Blocks:"), sized(BLOCKCOUNT_LOG_START_TEXTBOX, 8),
                                                  label("to"), sized(BLOCKCOUNT_LOG_END_TEXTBOX, 8),
                                                  label("+"), sized(DOWNLOADED_BLOCKS_TEXTBOX, 8)}),
                                         });

    auto settingsGroup =
        group("SETTINGS IN USE",
              {
                  grid({
                      row({label("Home:"), sized(PACEDECK_HOME_TEXTBOX, 34)}),
                      row({label("Chain:"), sized(BLOCKCHAIN_HOME_TEXTBOX, 34)}),
                      row({label("Conf:"), sized(CONF_FILE_LOCATION_TEXTBOX, 34)}),
                  }),
                  row({label("QT:"), sized(QT_NAME_TEXTBOX, 9), label("D:"), sized(DAEMON_NAME_TEXTBOX, 8),
                       label("CLI:"), sized(CLI_NAME_TEXTBOX, 9)}),
              });

    auto toolsGroup = group("TOOLS", {
                                         row({SETTINGS_BUTTON, MANUAL_RUN_BUTTON, BOX_INFO_BUTTON}),
                                         row({TERMINATOR_BUTTON, BLOCK_TIMES_WINDOW_BUTTON, END_LOG_BUTTON}),
                                         row({HELP_BUTTON, ABOUT_BUTTON, EXIT_BUTTON}),
                                     });

    auto reportGroup = group("LAST GENERATED REPORT", {lines(LOG_FILE_OUTPUT_TEXTBOX, 16, 4)});

    return column({
        row({column({pipelineGroup, nodeGroup}),
             column({row({blockcounterGroup, column({startGroup, heartbeatGroup})}), sizesGroup})}),
        row({recordGroup, settingsGroup, toolsGroup, reportGroup}),
        row({APP_EXE_NAME_LABEL, CURRENT_STATUS_LABEL, stretch(), label("MULTILOADER LAST RUN:"),
             sized(MULTILOADER_LAST_RUN_TEXTBOX, 28), label("Running for"), RUNTIME_LABEL}),
    });
}

}  // namespace pd
