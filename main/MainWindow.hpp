#pragma once
#include <array>
#include <string>

#include "core/App.hpp"
#include "core/HomeLayout.hpp"
#include "core/TimeOfDay.hpp"
#include "core/Window.hpp"
#include "main/Blockcounter.hpp"
#include "main/DesktopPresence.hpp"
#include "main/EndReport.hpp"
#include "main/FolderSizer.hpp"
#include "main/Heartbeats.hpp"
#include "main/NodeOutput.hpp"
#include "main/Pipeline.hpp"
#include "main/ProcessWatch.hpp"
#include "main/SyncCheck.hpp"

namespace pd {

// The stamps of a run's endings that are not faults.
inline constexpr std::string_view completedStamp = "!!! COMPLETED SUCCESSFULLY !!!";
inline constexpr std::string_view manualExitStamp = "!!! MANUAL EXIT !!!";
inline constexpr std::string_view manualStopStamp = "!!! MANUAL STOP !!!";
inline constexpr std::string_view windowClosedStamp = "!!! RUN INTERRUPTED - WINDOW CLOSED !!!";
inline constexpr std::string_view restartedStamp = "!!! RUN RESTARTED !!!";

// How a run ended, as its stamp says it.
struct RunOutcome {
    std::string stamp;  // "!!! COMPLETED SUCCESSFULLY !!!", the run's first fault, or how it was cut short
    bool success = false;
};

// PACEDECK_MAIN: the shared board of a run. Its elements hold the run's state; the other
// windows read and write them directly. The mechanisms that drive a run (pipeline,
// blockcounter, process watch, folder sizer, heartbeats, end report) live in their own
// classes and work on these elements and timers.
class MainWindow final : public Window {
  public:
    explicit MainWindow(App& app);
    LayoutNode layout() override;

    // ---- identity, countdowns, outcome stamps
    Label APP_EXE_NAME_LABEL{*this, "APP_EXE_NAME_LABEL", {.text = "App.EXEName"}};
    TickBox ALWAYS_ON_TOP_TICKBOX{*this, "ALWAYS_ON_TOP_TICKBOX", {.text = "Always On Top"}};
    TickBox AUTOSTART_TICKBOX{*this, "AUTOSTART_TICKBOX", {.text = "AutoStart"}};
    TextBox AUTOSTART_TIMER_TEXTBOX{*this, "AUTOSTART_TIMER_TEXTBOX", {.text = "00", .locked = true}};
    Button AUTOSTART_START_BUTTON{*this, "AUTOSTART_START_BUTTON", {.text = "START"}};
    TextBox AUTOCLOSE_TIMER_TEXTBOX{*this, "AUTOCLOSE_TIMER_TEXTBOX", {.text = "00", .locked = true}};
    Button AUTOCLOSE_START_BUTTON{*this, "AUTOCLOSE_START_BUTTON", {.text = "START", .enabled = false}};
    TextBox MULTILOADER_LAST_RUN_TEXTBOX{
        *this, "MULTILOADER_LAST_RUN_TEXTBOX", {.text = "MULTILOADER-LAST-RUN", .locked = true}};
    TextBox BLOCKCOUNTER_LAST_RUN_TEXTBOX{
        *this, "BLOCKCOUNTER_LAST_RUN_TEXTBOX", {.text = "BLOCKCOUNTER-LAST-RUN", .locked = true}};
    Button MULTILOADER_START_STOP_BUTTON{
        *this, "MULTILOADER_START_STOP_BUTTON", {.text = "START", .tip = "START / STOP MULTILOADER"}};
    Label CURRENT_STATUS_LABEL{
        *this, "CURRENT_STATUS_LABEL", {.text = "READY...", .fore = colour::green, .back = colour::black}};
    Label RUNTIME_LABEL{
        *this,
        "RUNTIME_LABEL",
        {.text = "00:00:00", .tip = "UPTIME-TIMER - PACEDECK HAS BEEN RUNNING THIS LONG !!!"}};
    TextBox CLOSE_REQUEST_COUNTDOWN_TEXTBOX{
        *this, "CLOSE_REQUEST_COUNTDOWN_TEXTBOX", {.text = "00:00:00", .locked = true}};

    // ---- run pipeline: stage lights (each stage's words are its light's tool tip) and choices
    // clang-format off
    TextBox TASK_1_LIGHT{*this, "TASK_1_LIGHT", {.back = colour::black, .tip = "LOG - DATE / TIME / PC NAME"}};
    TextBox TASK_2_LIGHT{*this, "TASK_2_LIGHT", {.back = colour::black, .tip = "START KITT HEARTBEAT"}};
    TextBox TASK_3_LIGHT{*this, "TASK_3_LIGHT", {.back = colour::black, .tip = "START RUNTIME-TIMER"}};
    TextBox TASK_4_LIGHT{*this, "TASK_4_LIGHT", {.back = colour::black, .tip = "SEND START EMAIL"}};
    TextBox TASK_5_LIGHT{*this, "TASK_5_LIGHT", {.back = colour::black, .tip = "LOG BC FOLDER START SIZE"}};
    TextBox TASK_6_LIGHT{*this, "TASK_6_LIGHT", {.back = colour::black, .tip = "LOG BLOCK START NUMBER"}};
    TextBox TASK_7_LIGHT{*this, "TASK_7_LIGHT", {.back = colour::black, .tip = "RUN QT / DAEMON"}};
    TextBox TASK_8_LIGHT{*this, "TASK_8_LIGHT", {.back = colour::black, .tip = "RUN BLOCKCOUNTER"}};
    TextBox TASK_9_LIGHT{*this, "TASK_9_LIGHT", {.back = colour::black, .tip = "BLOCKCOUNTER COMPLETED"}};
    TextBox TASK_10_LIGHT{*this, "TASK_10_LIGHT", {.back = colour::black, .tip = "LOG BLOCK END NUMBER"}};
    TextBox TASK_11_LIGHT{*this, "TASK_11_LIGHT", {.back = colour::black, .tip = "SEND \"CLI STOP\" REQUEST"}};
    TextBox TASK_12_LIGHT{*this, "TASK_12_LIGHT", {.back = colour::black, .tip = "QT / DAEMON SHUTDOWN"}};
    TextBox TASK_13_LIGHT{*this, "TASK_13_LIGHT", {.back = colour::black, .tip = "LOG BC FOLDER END SIZE"}};
    TextBox TASK_14_LIGHT{*this, "TASK_14_LIGHT", {.back = colour::black, .tip = "LOG ENDTIME"}};
    TextBox TASK_15_LIGHT{*this, "TASK_15_LIGHT", {.back = colour::black, .tip = "LOG TOTAL RUNTIME"}};
    TextBox TASK_16_LIGHT{*this, "TASK_16_LIGHT", {.back = colour::black, .tip = "CREATE FINAL LOG REPORT"}};
    TextBox TASK_17_LIGHT{*this, "TASK_17_LIGHT", {.back = colour::black, .tip = "SEND END REPORT EMAIL"}};
    TextBox TASK_18_LIGHT{*this, "TASK_18_LIGHT", {.back = colour::black, .tip = "STOP KITT HEATBEAT"}};
    TextBox TASK_19_LIGHT{*this, "TASK_19_LIGHT", {.back = colour::black, .tip = "AUTOCLOSE / POWER AUTOTIMER"}};
    // clang-format on
    TickBox TASK_2_ENABLE_TICKBOX{*this, "TASK_2_ENABLE_TICKBOX", {.text = "START KITT HEARTBEAT"}};
    TickBox TASK_4_ENABLE_TICKBOX{*this, "TASK_4_ENABLE_TICKBOX", {.text = "SEND START EMAIL"}};
    TickBox TASK_8_ENABLE_TICKBOX{*this, "TASK_8_ENABLE_TICKBOX", {.text = "RUN BLOCKCOUNTER"}};
    TickBox TASK_11_ENABLE_TICKBOX{*this, "TASK_11_ENABLE_TICKBOX", {.text = "SEND \"CLI STOP\" REQUEST"}};
    TickBox TASK_17_ENABLE_TICKBOX{*this, "TASK_17_ENABLE_TICKBOX", {.text = "SEND END REPORT EMAIL"}};
    TickBox TASK_18_ENABLE_TICKBOX{*this, "TASK_18_ENABLE_TICKBOX", {.text = "STOP KITT HEATBEAT"}};
    TickBox TASK_19_ENABLE_TICKBOX{*this, "TASK_19_ENABLE_TICKBOX", {.text = "AUTOCLOSE"}};
    TickBox TASK_20_ENABLE_TICKBOX{*this, "TASK_20_ENABLE_TICKBOX", {.text = "POWER AUTOTIMER"}};
    TickBox RUN_QT_TICKBOX{*this, "RUN_QT_TICKBOX", {.text = "RUN QT"}};
    TickBox RUN_DAEMON_TICKBOX{*this, "RUN_DAEMON_TICKBOX", {.text = "RUN DAEMON"}};
    TextBox RUN_QT_OR_D_TEXTBOX{*this, "RUN_QT_OR_D_TEXTBOX", {.locked = true}};
    TextBox AUTOCLOSE_OR_POWER_AUTOTIMER_TEXTBOX{
        *this, "AUTOCLOSE_OR_POWER_AUTOTIMER_TEXTBOX", {.locked = true}};
    TextBox AUTOTIMER_ACTION_TEXTBOX{
        *this, "AUTOTIMER_ACTION_TEXTBOX", {.text = "!!! NO ACTION SET !!!", .locked = true}};

    // ---- the run's record
    TextBox PC_NAME_TEXTBOX{*this, "PC_NAME_TEXTBOX", {.locked = true}};
    TextBox DATE_TEXTBOX{*this, "DATE_TEXTBOX", {.locked = true}};
    TextBox START_TIME_TEXTBOX{*this, "START_TIME_TEXTBOX", {.locked = true}};
    TextBox END_TIME_TEXTBOX{*this, "END_TIME_TEXTBOX", {.locked = true}};
    TextBox TOTAL_RUNTIME_TEXTBOX{*this, "TOTAL_RUNTIME_TEXTBOX", {.locked = true}};
    TextBox BLOCKCOUNT_LOG_START_TEXTBOX{
        *this, "BLOCKCOUNT_LOG_START_TEXTBOX", {.text = "0", .locked = true}};
    TextBox BLOCKCOUNT_LOG_END_TEXTBOX{*this, "BLOCKCOUNT_LOG_END_TEXTBOX", {.locked = true}};
    TextBox DOWNLOADED_BLOCKS_TEXTBOX{*this, "DOWNLOADED_BLOCKS_TEXTBOX", {.locked = true}};

    // ---- end report
    TextBox LOG_TOP_MESSAGE_TEXTBOX{*this, "LOG_TOP_MESSAGE_TEXTBOX", {.visible = false, .multiLine = true}};
    TextBox SPLITTER_LINE_TEXTBOX{
        *this, "SPLITTER_LINE_TEXTBOX", {.text = std::string(61, '='), .visible = false}};
    TextBox LOG_BOTTOM_MESSAGE_TEXTBOX{
        *this, "LOG_BOTTOM_MESSAGE_TEXTBOX", {.visible = false, .multiLine = true}};
    TextBox LOG_FILE_OUTPUT_TEXTBOX{
        *this,
        "LOG_FILE_OUTPUT_TEXTBOX",
        {.text = "!!! LOG GENERATED AFTER RUN COMPLETION !!!", .locked = true, .multiLine = true}};

    // ---- settings copied here by the settings windows
    TextBox PACEDECK_HOME_TEXTBOX{*this, "PACEDECK_HOME_TEXTBOX", {.locked = true}};
    TextBox BLOCKCHAIN_HOME_TEXTBOX{*this, "BLOCKCHAIN_HOME_TEXTBOX", {.locked = true}};
    TextBox CONF_FILE_LOCATION_TEXTBOX{*this, "CONF_FILE_LOCATION_TEXTBOX", {.locked = true}};
    TextBox SE_HOME_TEXTBOX{*this, "SE_HOME_TEXTBOX", {.locked = true}};
    TextBox CRYPTO_NAME_TEXTBOX{*this, "CRYPTO_NAME_TEXTBOX", {.locked = true}};
    TextBox QT_NAME_TEXTBOX{*this, "QT_NAME_TEXTBOX", {.locked = true}};
    TextBox DAEMON_NAME_TEXTBOX{*this, "DAEMON_NAME_TEXTBOX", {.locked = true}};
    TextBox CLI_NAME_TEXTBOX{*this, "CLI_NAME_TEXTBOX", {.locked = true}};
    TextBox SW_QT_COMMAND_TEXTBOX{*this, "SW_QT_COMMAND_TEXTBOX", {.text = placeholderQt, .locked = true}};
    TextBox SW_D_COMMAND_TEXTBOX{*this, "SW_D_COMMAND_TEXTBOX", {.text = placeholderDaemon, .locked = true}};
    TextBox SWCLI_STOP_COMMAND_TEXTBOX{
        *this, "SWCLI_STOP_COMMAND_TEXTBOX", {.text = placeholderCliStop, .locked = true}};
    TextBox GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX{
        *this, "GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX", {.text = placeholderBlockcount, .locked = true}};
    TextBox GETBLOCKCHAININFO_COMMAND_SETTINGS_TEXTBOX{
        *this, "GETBLOCKCHAININFO_COMMAND_SETTINGS_TEXTBOX", {.visible = false, .locked = true}};
    TextBox GETCONNECTIONCOUNT_COMMAND_SETTINGS_TEXTBOX{
        *this, "GETCONNECTIONCOUNT_COMMAND_SETTINGS_TEXTBOX", {.visible = false, .locked = true}};
    TickBox SYNC_CHECK_TICKBOX{*this, "SYNC_CHECK_TICKBOX", {.text = "SYNC CHECK", .visible = false}};
    TextBox STALL_LIMIT_TEXTBOX{*this, "STALL_LIMIT_TEXTBOX", {.text = "00:30:00", .visible = false}};
    TextBox EMAIL_OUTPUT_START_COMMAND_TEXTBOX{*this, "EMAIL_OUTPUT_START_COMMAND_TEXTBOX", {.locked = true}};
    TextBox EMAIL_OUTPUT_END_COMMAND_TEXTBOX{*this, "EMAIL_OUTPUT_END_COMMAND_TEXTBOX", {.locked = true}};
    TickBox AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX{
        *this, "AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX", {.text = "AutoLoad Block Count File", .visible = false}};
    TextBox GETBLOCKCOUNT_LOG_LOCATION_TEXTBOX{
        *this, "GETBLOCKCOUNT_LOG_LOCATION_TEXTBOX", {.visible = false}};
    TickBox TRAY_NOTIFY_TICKBOX{
        *this, "TRAY_NOTIFY_TICKBOX", {.text = "TRAY ICON AND NOTIFICATIONS", .visible = false}};
    TextBox HEARTBEAT_COUNTDOWN_TIME_TEXTBOX{*this,
                                             "HEARTBEAT_COUNTDOWN_TIME_TEXTBOX",
                                             {.fore = colour::green, .back = colour::black, .locked = true}};

    // ---- blockcounter
    TextBox CURRENT_BLOCK_TEXTBOX{
        *this, "CURRENT_BLOCK_TEXTBOX", {.fore = colour::green, .back = colour::black, .locked = true}};
    TextBox LAST_BLOCKCOUNT_TEXTBOX{
        *this, "LAST_BLOCKCOUNT_TEXTBOX", {.fore = colour::green, .back = colour::black, .locked = true}};
    TextBox USER_COUNT_TIME_TEXTBOX{*this, "USER_COUNT_TIME_TEXTBOX", {.back = colour::green}};
    TextBox BLOCKCOUNT_TIMER_TEXTBOX{
        *this, "BLOCKCOUNT_TIMER_TEXTBOX", {.back = colour::green, .locked = true}};
    TextBox USER_OVERRIDE_TIME_TEXTBOX{
        *this, "USER_OVERRIDE_TIME_TEXTBOX", {.back = colour::pink, .enabled = false}};
    TextBox OVERRIDE_TIMER_TEXTBOX{
        *this, "OVERRIDE_TIMER_TEXTBOX", {.back = colour::pink, .enabled = false, .locked = true}};
    Button START_STOP_TIMER_BUTTON{
        *this, "START_STOP_TIMER_BUTTON", {.text = "START", .tip = "START / STOP BLOCKCOUNTER"}};
    Button RUN_NOW_BUTTON{*this, "RUN_NOW_BUTTON", {.text = "Run Now"}};
    Button START_OVERRIDE_BUTTON{
        *this,
        "START_OVERRIDE_BUTTON",
        {.text = "START", .tip = "START / STOP BLOCKCOUNTER OVERRIDE TIMER", .enabled = false}};
    Button FINISH_BLOCKCOUNTER_BUTTON{*this,
                                      "FINISH_BLOCKCOUNTER_BUTTON",
                                      {.text = "MANUAL FINISH BLOCKCOUNTER",
                                       .tip = "STOP BLOCKCOUNTER AND CONTINUE RUN PROCESS",
                                       .enabled = false}};
    TickBox OVERRIDE_TIMER_ENABLE_TICKBOX{*this, "OVERRIDE_TIMER_ENABLE_TICKBOX", {.text = "OVERRIDE TIMER"}};
    TickBox AUTOSTART_OVERRIDE_TIMER_TICKBOX{
        *this, "AUTOSTART_OVERRIDE_TIMER_TICKBOX", {.text = "AUTO START", .enabled = false}};
    TickBox FINISH_WHEN_IDENTICAL_TICKBOX{
        *this, "FINISH_WHEN_IDENTICAL_TICKBOX", {.text = "Finish When Identical"}};
    TextBox IDENTICAL_TEXTBOX{
        *this,
        "IDENTICAL_TEXTBOX",
        {.text = "IDENTICAL", .tip = "!!! IDENTICAL BLOCK NUMBERS FOUND !!!", .locked = true}};
    TextBox VERIFYING_TEXTBOX{
        *this,
        "VERIFYING_TEXTBOX",
        {.text = "VERIFYING", .tip = "VERIFYING IDENTICAL BLOCK NUMBERS", .locked = true}};
    TextBox TRIPLE_CHECK_TEXTBOX{
        *this,
        "TRIPLE_CHECK_TEXTBOX",
        {.text = "TRIPLE-CHECK", .tip = "TRIPLE-CHECKING IDENTICAL BLOCK NUMBERS", .locked = true}};
    TextBox CONFIRMED_TEXTBOX{
        *this,
        "CONFIRMED_TEXTBOX",
        {.text = "CONFIRMED", .tip = "!!! IDENTICAL BLOCK NUMBERS CONFIRMED !!!", .locked = true}};
    TextBox BLOCK_VERIFIER_TEXTBOX{*this, "BLOCK_VERIFIER_TEXTBOX", {.visible = false}};
    TextBox BLOCK_TRIPLE_CHECK_TEXTBOX{*this, "BLOCK_TRIPLE_CHECK_TEXTBOX", {.visible = false}};
    TextBox ZERO_NEW_LINE_TEXTBOX{*this, "ZERO_NEW_LINE_TEXTBOX", {.visible = false}};
    TextBox EMPTY_TEXTBOX{*this, "EMPTY_TEXTBOX", {.visible = false}};

    // ---- process lights
    TextBox PROCESS_TEXTBOX_1{
        *this,
        "PROCESS_TEXTBOX_1",
        {.text = "QT", .tip = "QT PROCESS - GREEN=RUNNING, RED=STOPPED", .locked = true}};
    TextBox PROCESS_TEXTBOX_2{
        *this,
        "PROCESS_TEXTBOX_2",
        {.text = "DAEMON", .tip = "DAEMON  PROCESS - GREEN=RUNNING, RED=STOPPED", .locked = true}};
    TextBox PROCESS_TEXTBOX_3{
        *this,
        "PROCESS_TEXTBOX_3",
        {.text = "CLI", .tip = "CLI  PROCESS - GREEN=RUNNING, RED=STOPPED", .locked = true}};
    TextBox PROCESS_TEXTBOX_4{*this, "PROCESS_TEXTBOX_4", {.locked = true}};

    // ---- folder sizer
    TextBox BC_FOLDER_SIZE_BEFORE{*this,
                                  "BC_FOLDER_SIZE_BEFORE",
                                  {.text = "!!! STILL TO RUN !!!",
                                   .tip = "File / Folder Size - BEFORE BLOCKCHAIN UPDATE",
                                   .locked = true,
                                   .multiLine = true}};
    TextBox BC_FOLDER_SIZE_AFTER{*this,
                                 "BC_FOLDER_SIZE_AFTER",
                                 {.text = "!!! STILL TO RUN !!!",
                                  .tip = "File / Folder Size - AFTER BLOCKCHAIN UPDATE",
                                  .locked = true,
                                  .multiLine = true}};
    Button FFS_RUN_1_BUTTON{*this, "FFS_RUN_1_BUTTON", {.text = "Run", .tip = "Get Folder Size Now"}};
    Button FFS_RUN_2_BUTTON{*this, "FFS_RUN_2_BUTTON", {.text = "Run", .tip = "Get Folder Size Now"}};
    TextBox FILE_SIZE_BYTES_TEXTBOX{*this, "FILE_SIZE_BYTES_TEXTBOX", {.visible = false}};
    TextBox FILE_SIZE_KILOBYTES_TEXTBOX{*this, "FILE_SIZE_KILOBYTES_TEXTBOX", {.visible = false}};
    TextBox FILE_SIZE_MEGABYTES_TEXTBOX{*this, "FILE_SIZE_MEGABYTES_TEXTBOX", {.visible = false}};
    TextBox FILE_SIZE_GIGABYTES_TEXTBOX{*this, "FILE_SIZE_GIGABYTES_TEXTBOX", {.visible = false}};
    TextBox FILE_SIZE_TERABYTES_TEXTBOX{*this, "FILE_SIZE_TERABYTES_TEXTBOX", {.visible = false}};
    TextBox FILE_SIZE_PETABYTES_TEXTBOX{*this, "FILE_SIZE_PETABYTES_TEXTBOX", {.visible = false}};

    // ---- heartbeats and lock lights
    TextBox HEARTBEAT_COUNTDOWN_DISPLAY_TEXTBOX{
        *this,
        "HEARTBEAT_COUNTDOWN_DISPLAY_TEXTBOX",
        {.text = "--:--:--", .tip = "KITT \"Num-Lock\" HEARTBEAT TIMER", .locked = true}};
    Button KITT_START_BUTTON{*this,
                             "KITT_START_BUTTON",
                             {.text = "START KITT", .tip = "START / STOP KITT \"Num-Lock\" HEARTBEAT"}};
    Label KITT_LABEL_1{*this, "KITT_LABEL_1", {.back = colour::black}};
    Label KITT_LABEL_2{*this, "KITT_LABEL_2", {.back = colour::black}};
    Label KITT_LABEL_3{*this, "KITT_LABEL_3", {.back = colour::black}};
    Label KITT_LABEL_4{*this, "KITT_LABEL_4", {.back = colour::black}};
    Label KITT_LABEL_5{*this, "KITT_LABEL_5", {.back = colour::black}};
    Label KITT_LABEL_6{*this, "KITT_LABEL_6", {.back = colour::black}};
    Label KITT_LABEL_7{*this, "KITT_LABEL_7", {.back = colour::black}};
    Label KITT_BACKGROUND_LABEL{*this, "KITT_BACKGROUND_LABEL", {.back = colour::black}};
    Label VERT_NUM_LIGHT_LABEL{*this,
                               "VERT_NUM_LIGHT_LABEL",
                               {.text = "N", .tip = "NUM LOCK STATUS - DOUBLE-CLICK TO TURN ON / OFF"}};
    Label VERT_CAPS_LIGHT_LABEL{*this,
                                "VERT_CAPS_LIGHT_LABEL",
                                {.text = "C", .tip = "CAPS LOCK STATUS - DOUBLE-CLICK TO TURN ON / OFF"}};
    Label VERT_SCROLL_LIGHT_LABEL{*this,
                                  "VERT_SCROLL_LIGHT_LABEL",
                                  {.text = "S", .tip = "SCROLL LOCK STATUS - DOUBLE-CLICK TO TURN ON / OFF"}};

    // ---- buttons that open other windows, and EXIT
    Button SETTINGS_BUTTON{*this, "SETTINGS_BUTTON", {.text = "Settings"}};
    Button MANUAL_RUN_BUTTON{*this, "MANUAL_RUN_BUTTON", {.text = "Manual Run"}};
    Button BOX_INFO_BUTTON{*this, "BOX_INFO_BUTTON", {.text = "Box Info"}};
    Button TERMINATOR_BUTTON{
        *this, "TERMINATOR_BUTTON", {.text = "TERMINATOR", .tip = "!!! PROCESS TERMINATOR !!!"}};
    Button BLOCK_TIMES_WINDOW_BUTTON{*this, "BLOCK_TIMES_WINDOW_BUTTON", {.text = "Block Times"}};
    Button END_LOG_BUTTON{*this, "END_LOG_BUTTON", {.text = "End Log", .enabled = false}};
    Button HELP_BUTTON{*this, "HELP_BUTTON", {.text = "Basic Help"}};
    Button ABOUT_BUTTON{*this, "ABOUT_BUTTON", {.text = "About"}};
    Button EXIT_BUTTON{*this, "EXIT_BUTTON", {.text = "EXIT"}};

    // ---- timers (intervals are given at load)
    Timer AlwaysOnTopTimer{*this, "AlwaysOnTopTimer"};
    Timer AUTOSTART_TIMER{*this, "AUTOSTART_TIMER"};
    Timer AUTOCLOSE_TIMER{*this, "AUTOCLOSE_TIMER"};
    Timer RUNTIME_TIMER{*this, "RUNTIME_TIMER"};
    Timer TASK_1_MAIN_TIMER{*this, "TASK_1_MAIN_TIMER"};
    Timer TASK_2_MAIN_TIMER{*this, "TASK_2_MAIN_TIMER"};
    Timer TASK_3_MAIN_TIMER{*this, "TASK_3_MAIN_TIMER"};
    Timer TASK_4_MAIN_TIMER{*this, "TASK_4_MAIN_TIMER"};
    Timer TASK_5_MAIN_TIMER{*this, "TASK_5_MAIN_TIMER"};
    Timer TASK_6_MAIN_TIMER{*this, "TASK_6_MAIN_TIMER"};
    Timer TASK_7_MAIN_TIMER{*this, "TASK_7_MAIN_TIMER"};
    Timer TASK_8_MAIN_TIMER{*this, "TASK_8_MAIN_TIMER"};
    Timer TASK_9_MAIN_TIMER{*this, "TASK_9_MAIN_TIMER"};
    Timer TASK_10_MAIN_TIMER{*this, "TASK_10_MAIN_TIMER"};
    Timer TASK_11_MAIN_TIMER{*this, "TASK_11_MAIN_TIMER"};
    Timer TASK_12_MAIN_TIMER{*this, "TASK_12_MAIN_TIMER"};
    Timer TASK_13_MAIN_TIMER{*this, "TASK_13_MAIN_TIMER"};
    Timer TASK_14_MAIN_TIMER{*this, "TASK_14_MAIN_TIMER"};
    Timer TASK_15_MAIN_TIMER{*this, "TASK_15_MAIN_TIMER"};
    Timer TASK_16_MAIN_TIMER{*this, "TASK_16_MAIN_TIMER"};
    Timer TASK_17_MAIN_TIMER{*this, "TASK_17_MAIN_TIMER"};
    Timer TASK_18_MAIN_TIMER{*this, "TASK_18_MAIN_TIMER"};
    Timer TASK_19_MAIN_TIMER{*this, "TASK_19_MAIN_TIMER"};
    Timer TASK_20_MAIN_TIMER{*this, "TASK_20_MAIN_TIMER"};
    Timer MULTI_PROCESS_WATCHER_TIMER{*this, "MULTI_PROCESS_WATCHER_TIMER"};
    Timer CLI_PROCESS_WATCHER_TIMER{*this, "CLI_PROCESS_WATCHER_TIMER"};
    Timer NCS_TIMER{*this, "NCS_TIMER"};
    Timer TOOLTIP_TIMER{*this, "TOOLTIP_TIMER"};
    Timer HEARTBEAT_TIMER{*this, "HEARTBEAT_TIMER"};
    Timer KITT_RED_TIMER_1{*this, "KITT_RED_TIMER_1"};
    Timer KITT_RED_TIMER_2{*this, "KITT_RED_TIMER_2"};
    Timer KITT_RED_TIMER_3{*this, "KITT_RED_TIMER_3"};
    Timer KITT_RED_TIMER_4{*this, "KITT_RED_TIMER_4"};
    Timer KITT_RED_TIMER_5{*this, "KITT_RED_TIMER_5"};
    Timer KITT_RED_TIMER_6{*this, "KITT_RED_TIMER_6"};
    Timer KITT_RED_TIMER_7{*this, "KITT_RED_TIMER_7"};
    Timer KITT_RED_TIMER_8{*this, "KITT_RED_TIMER_8"};
    Timer KITT_RED_TIMER_9{*this, "KITT_RED_TIMER_9"};
    Timer KITT_RED_TIMER_10{*this, "KITT_RED_TIMER_10"};
    Timer KITT_RED_TIMER_11{*this, "KITT_RED_TIMER_11"};
    Timer KITT_RED_TIMER_12{*this, "KITT_RED_TIMER_12"};
    Timer KITT_RED_TIMER_13{*this, "KITT_RED_TIMER_13"};
    Timer KITT_RED_TIMER_14{*this, "KITT_RED_TIMER_14"};
    Timer KITT_RED_TIMER_15{*this, "KITT_RED_TIMER_15"};
    Timer KITT_RED_TIMER_16{*this, "KITT_RED_TIMER_16"};
    Timer NUMLOCK_TIMER_1{*this, "NUMLOCK_TIMER_1"};
    Timer NUMLOCK_TIMER_2{*this, "NUMLOCK_TIMER_2"};
    Timer CHECKER_TIMER{*this, "CHECKER_TIMER"};
    Timer BLOCKCOUNTER_COUNTDOWN_TIMER{*this, "BLOCKCOUNTER_COUNTDOWN_TIMER"};
    Timer GETBLOCKCOUNT_TIMER{*this, "GETBLOCKCOUNT_TIMER"};
    Timer BLOCKCOUNT_TEXTBOX_UPDATER_TIMER{*this, "BLOCKCOUNT_TEXTBOX_UPDATER_TIMER"};
    Timer ZERO_EMPTY_TEXTBOX_CHECKER_TIMER{*this, "ZERO_EMPTY_TEXTBOX_CHECKER_TIMER"};
    Timer IDENTICAL_CHECKER_TIMER{*this, "IDENTICAL_CHECKER_TIMER"};
    Timer VERIFY_TIMER{*this, "VERIFY_TIMER"};
    Timer TRIPLE_CHECK_TIMER{*this, "TRIPLE_CHECK_TIMER"};
    Timer COMPLETED_TIMER{*this, "COMPLETED_TIMER"};
    Timer OVERRIDE_TIMER{*this, "OVERRIDE_TIMER"};
    Timer SYNC_CHECK_TIMER{*this, "SYNC_CHECK_TIMER"};
    Timer FOLDER_SIZER_BEFORE_TIMER{*this, "FOLDER_SIZER_BEFORE_TIMER"};
    Timer FOLDER_SIZER_AFTER_TIMER{*this, "FOLDER_SIZER_AFTER_TIMER"};

    // ---- module-level values
    TimeOfDay AUTOSTART_TIME_LEFT{0, 0, 11};
    TimeOfDay AUTOCLOSE_TIME_LEFT{0, 0, 11};
    TimeOfDay RUNTIME_ELAPSED{};
    TimeOfDay BLOCKCOUNT_TIME_LEFT{};
    TimeOfDay OVERRIDE_TIME_LEFT{};
    TimeOfDay HEARTBEAT_TIME_LEFT{};
    std::string COMPUTER_NAME;

    // The lights and timers of the run, by stage number (1-based).
    TextBox& taskLight(int stage);
    Timer& taskTimer(int stage);
    Label& kittLabel(int n);
    Timer& kittTimer(int n);

    // The status line.
    void status(std::string_view text) { CURRENT_STATUS_LABEL.setText(text); }
    // This copy's files under the home folder shown here.
    HomeLayout home() const { return {app().profile(), PACEDECK_HOME_TEXTBOX.text(), app().exe()}; }
    // Saves what autoclose saves, in its order.
    void saveOnAutoclose();
    // The keys every way of leaving writes; a scripted set-up keeps its choices this way
    // without stamping an exit.
    void saveTheRunChoices();

    // ---- the outcome of a run
    // A run is in progress from its stage 1, or from stage 9 when a blockcounter started by
    // its own START hands over, until its ending.
    void beginRun();
    void joinRunAtBlockcounterEnd();
    bool runInProgress() const { return runInProgress_; }
    // Forgets what an earlier run left behind, so that none of it is told as this run's: its
    // fault and its sync history.
    void forgetEarlierRun();
    // What went wrong in this run, as the stamp that says so; the first fault counts.
    void noteRunFault(std::string_view stamp) {
        if (runFault_.empty()) runFault_ = stamp;
    }
    const std::string& runFault() const { return runFault_; }
    // The run's outcome as it stands: its first fault, or success.
    RunOutcome runOutcome() const;
    // Every ending of a run passes through here, exactly once per run: stage 19 whatever the
    // final action (autoclose, power autotimer or none), stage 1 for a node program without a
    // name, and STOP, EXIT, the close box, the end of the session or a new start while the
    // run is in progress. Outside a run it does nothing. An ending that cuts the run short
    // names itself in `cutShort` (manualExitStamp and the others above), which is then the
    // stamp; else the stamp is runOutcome(). MULTILOADER_LAST_RUN_TEXTBOX shows it, green only
    // for success, and it is stored at once: a power action may end the program before it
    // closes. Whatever else must follow every run (a run history, a notice) hooks in at the
    // end of this function, where the RunOutcome (stamp text, success) is at hand.
    void stampRunOutcome(std::string_view cutShort = {});

    static constexpr const char* placeholderQt =
        "!!! QT RUN COMMAND NOT GENERATED YET - PLEASE ENTER SETTINGS TO GENERATE COMMAND !!!\r\n";
    static constexpr const char* placeholderDaemon =
        "!!! DAEMON RUN COMMAND NOT GENERATED YET - PLEASE ENTER SETTINGS TO GENERATE COMMAND !!!\r\n";
    static constexpr const char* placeholderCliStop =
        "!!! CLI RUN COMMAND NOT GENERATED YET - PLEASE ENTER SETTINGS TO GENERATE COMMAND !!!\r\n";
    static constexpr const char* placeholderBlockcount =
        "!!! BLOCKCOUNTER RUN COMMAND NOT GENERATED YET - PLEASE ENTER SETTINGS TO GENERATE COMMAND !!!\r\n";

    // ---- the mechanisms of a run (declared after the elements and timers they use)
    NodeOutput nodeOutput{*this};
    ProcessWatch processWatch{*this};
    SyncCheck syncCheck{*this};
    Blockcounter blockcounter{*this};
    FolderSizer folderSizer{*this};
    Heartbeats heartbeats{*this};
    EndReport endReport{*this};
    Pipeline pipeline{*this};
    DesktopPresence presence{*this};

  protected:
    void load() override;
    void unload() override;

  private:
    void giveTimersTheirIntervals();
    void restoreTick(TickBox& t);
    void restoreTick(TickBox& t, std::string_view key);
    void restoreTime(TextBox& box);
    void restoreSettings();
    void resetRunRecord();
    void restoreStamps();
    void makeChoicesExclusive();

    // handlers of the window itself
    void alwaysOnTopClicked();
    void autostartButtonClicked();
    void autostartTick();
    void autocloseButtonClicked();
    void autocloseTick();
    void runtimeTick();
    void exitClicked();
    void runQtClicked();
    void runDaemonClicked();
    void autocloseChoiceClicked();
    void powerAutotimerChoiceClicked();

    std::string runFault_;
    bool runInProgress_ = false;
    bool runEndedHere_ = false;  // a run ended since the window opened
};

// The program's main window, opened by app.start<MainWindow>().
inline MainWindow& mainWindow(const App& app) {
    return static_cast<MainWindow&>(app.main());
}

}  // namespace pd
