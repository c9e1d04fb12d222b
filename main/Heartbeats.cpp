#include "main/Heartbeats.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

#include "core/App.hpp"
#include "core/Catalogue.hpp"
#include "main/MainWindow.hpp"

namespace pd {

namespace {

// One step of the light chaser: the lamp it darkens and the lamp it lights (0: none).
// The lamp runs from 1 to 7, all lamps stay dark for one step at each end, and it runs
// back; step 16 hands over to step 1.
struct ChaserStep {
    int dark;
    int lit;
};
// clang-format off
constexpr std::array<ChaserStep, 16> chaser = {{
    {0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}, {7, 0},
    {0, 7}, {7, 6}, {6, 5}, {5, 4}, {4, 3}, {3, 2}, {2, 1}, {1, 0}}};
// clang-format on

constexpr std::string_view intervalKey = "HEARTBEAT_COUNTDOWN_TIME_TEXTBOX";
constexpr TimeOfDay defaultInterval{0, 5, 0};

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

}  // namespace

Heartbeats::Heartbeats(MainWindow& w) : w_(w) {
    w_.KITT_START_BUTTON.onClick = [this] { kittButtonClicked(); };
    w_.HEARTBEAT_TIMER.onTick = [this] { heartbeatTick(); };
    w_.NUMLOCK_TIMER_1.onTick = [this] { firstPress(); };
    w_.NUMLOCK_TIMER_2.onTick = [this] { secondPress(); };
    for (int step = 1; step <= 16; ++step) w_.kittTimer(step).onTick = [this, step] { chaserStep(step); };
    w_.NCS_TIMER.onTick = [this] { refreshLockLights(); };
    w_.VERT_NUM_LIGHT_LABEL.onDoubleClick = [this] { pressKey(LockKey::Num); };
    w_.VERT_CAPS_LIGHT_LABEL.onDoubleClick = [this] { pressKey(LockKey::Caps); };
    w_.VERT_SCROLL_LIGHT_LABEL.onDoubleClick = [this] { pressKey(LockKey::Scroll); };
    w_.TOOLTIP_TIMER.onTick = [this] { refreshToolTips(); };
}

// The program ends with its main window: the sleep inhibitor must not outlive it.
Heartbeats::~Heartbeats() {
    keepAwake(false);
}

// ---------------------------------------------------------------- the run's stages

void Heartbeats::startFromPipeline() {
    // A run uses the interval as stored, even if the main settings window was cancelled.
    auto text = w_.app().readSetting(w_.app().exe(), intervalKey, catalogue::defaultOf(intervalKey));
    if (!TimeOfDay::parse(text)) text = defaultInterval.hhmmss();
    w_.HEARTBEAT_COUNTDOWN_TIME_TEXTBOX.setText(text);
    w_.HEARTBEAT_TIMER.start();
    w_.KITT_RED_TIMER_1.start();
    w_.KITT_START_BUTTON.setText("STOP KITT");
    keepAwake(true);
}

void Heartbeats::stopFromPipeline() {
    stopAllHeartbeatTimers();
    paintLamps(colour::black);
    keepAwake(false);
}

void Heartbeats::resetFromSettings() {
    w_.KITT_BACKGROUND_LABEL.setBack(colour::black);
    paintLamps(colour::red);
    // A heartbeat that was not running stays off: new settings start no heartbeat and
    // take no sleep lock while no run is on.
    if (!w_.HEARTBEAT_TIMER.enabled()) return;
    w_.HEARTBEAT_TIMER.stop();
    w_.HEARTBEAT_TIMER.start();
    keepAwake(true);
}

// ---------------------------------------------------------------- heartbeat and chaser

void Heartbeats::kittButtonClicked() {
    if (w_.KITT_START_BUTTON.text() == "START KITT")
        startHeartbeat();
    else
        stopHeartbeat();
}

void Heartbeats::startHeartbeat() {
    paintLamps(colour::red);
    reloadTimeLeft();
    w_.HEARTBEAT_TIMER.start();
    w_.KITT_RED_TIMER_1.start();
    w_.KITT_START_BUTTON.setText("STOP KITT");
    keepAwake(true);
}

void Heartbeats::stopHeartbeat() {
    reloadTimeLeft();
    stopAllHeartbeatTimers();
    // A stopped chaser shows a solid red bar.
    paintLamps(colour::red);
    w_.KITT_START_BUTTON.setText("START KITT");
    keepAwake(false);
}

void Heartbeats::heartbeatTick() {
    w_.HEARTBEAT_TIME_LEFT = w_.HEARTBEAT_TIME_LEFT.minusSecond();
    w_.HEARTBEAT_COUNTDOWN_DISPLAY_TEXTBOX.setText(w_.HEARTBEAT_TIME_LEFT.hhmmss());
    if (w_.HEARTBEAT_COUNTDOWN_DISPLAY_TEXTBOX.text() != "00:00:00") return;
    w_.HEARTBEAT_COUNTDOWN_DISPLAY_TEXTBOX.setText(w_.HEARTBEAT_COUNTDOWN_TIME_TEXTBOX.text());
    reloadTimeLeft();
    w_.KITT_BACKGROUND_LABEL.setBack(colour::cyan);
    w_.NUMLOCK_TIMER_1.start();
}

void Heartbeats::firstPress() {
    w_.KITT_BACKGROUND_LABEL.setBack(colour::green);
    pressKey(LockKey::Num);
    w_.NUMLOCK_TIMER_2.start();
    w_.NUMLOCK_TIMER_1.stop();
}

// Num Lock is a toggle: the second press puts it back as the user had it.
void Heartbeats::secondPress() {
    pressKey(LockKey::Num);
    w_.KITT_BACKGROUND_LABEL.setBack(colour::black);
    w_.NUMLOCK_TIMER_2.stop();
}

void Heartbeats::chaserStep(int step) {
    const auto& s = chaser.at(static_cast<std::size_t>(step - 1));
    if (s.dark != 0) w_.kittLabel(s.dark).setBack(colour::black);
    if (s.lit != 0) w_.kittLabel(s.lit).setBack(colour::red);
    w_.kittTimer(step % 16 + 1).start();
    w_.kittTimer(step).stop();
}

void Heartbeats::stopAllHeartbeatTimers() {
    w_.HEARTBEAT_TIMER.stop();
    for (int step = 1; step <= 16; ++step) w_.kittTimer(step).stop();
    w_.NUMLOCK_TIMER_1.stop();
    w_.NUMLOCK_TIMER_2.stop();
}

void Heartbeats::paintLamps(Colour back) {
    for (int n = 1; n <= 7; ++n) w_.kittLabel(n).setBack(back);
}

void Heartbeats::reloadTimeLeft() {
    w_.HEARTBEAT_TIME_LEFT = TimeOfDay::parseOr(w_.HEARTBEAT_COUNTDOWN_TIME_TEXTBOX.text(), defaultInterval);
}

// ---------------------------------------------------------------- lock lights

void Heartbeats::refreshLockLights() {
    auto& platform = w_.app().platform();
    showLock(w_.VERT_NUM_LIGHT_LABEL, "NUM LOCK", platform.lockState(LockKey::Num));
    showLock(w_.VERT_CAPS_LIGHT_LABEL, "CAPS LOCK", platform.lockState(LockKey::Caps));
    showLock(w_.VERT_SCROLL_LIGHT_LABEL, "SCROLL LOCK", platform.lockState(LockKey::Scroll));
}

void Heartbeats::showLock(Label& light, std::string_view name, std::optional<bool> on) {
    std::string tip(name);
    if (!on) {
        // No keyboard display to ask (a Wayland session or none): say so rather than guess.
        light.setBack(colour::windowBackground);
        light.setToolTip(tip + " = UNKNOWN (NO KEYBOARD DISPLAY)");
    } else if (*on) {
        light.setBack(colour::green);
        light.setToolTip(tip + " = ON");
    } else {
        light.setBack(colour::red);
        light.setToolTip(tip + " = OFF");
    }
}

void Heartbeats::pressKey(LockKey key) {
    auto done = w_.app().platform().pressLockKey(key);
    if (done) {
        pressFailureShown_ = false;
        return;
    }
    // Said once: the heartbeat would otherwise repeat it every few minutes and hide the
    // run's own messages.
    if (pressFailureShown_) return;
    pressFailureShown_ = true;
    w_.status("LOCK KEY PRESSES SKIPPED: " + upper(done.error));
}

// ---------------------------------------------------------------- tool tips

void Heartbeats::refreshToolTips() {
    const std::array<std::pair<Element*, std::string_view>, 13> tips = {{
        {&w_.CURRENT_BLOCK_TEXTBOX, "Current Block = "},
        {&w_.LAST_BLOCKCOUNT_TEXTBOX, "Last Block = "},
        {&w_.USER_COUNT_TIME_TEXTBOX, "GETBLOCKCOUNT Runs Every: "},
        {&w_.BLOCKCOUNT_TIMER_TEXTBOX, "Next GETBLOCKCOUNT Check In : "},
        {&w_.USER_OVERRIDE_TIME_TEXTBOX, "Override Timer Set To: "},
        {&w_.OVERRIDE_TIMER_TEXTBOX, "Override Timer Activates In: "},
        {&w_.BC_FOLDER_SIZE_BEFORE, "Blockchain Folder Size BEFORE Update: "},
        {&w_.BC_FOLDER_SIZE_AFTER, "Blockchain Folder Size AFTER Update: "},
        {&w_.RUNTIME_LABEL, "PACEDECK Has Been Running For: "},
        {&w_.START_TIME_TEXTBOX, "PACEDECK Started Running At: "},
        {&w_.END_TIME_TEXTBOX, "PACEDECK Finished Running At: "},
        {&w_.BLOCKCOUNT_LOG_START_TEXTBOX, "BlockCount Number At Start: "},
        {&w_.BLOCKCOUNT_LOG_END_TEXTBOX, "BlockCount Number At End: "},
    }};
    for (auto& [element, prefix] : tips) element->setToolTip(std::string(prefix) + element->text());
}

// ---------------------------------------------------------------- sleep

void Heartbeats::keepAwake(bool on) {
    if (on == sleepHeld_) return;
    auto done = w_.app().platform().inhibitSleep(on);
    if (!on) {
        sleepHeld_ = false;
        return;
    }
    sleepHeld_ = done.ok;
    // The Num Lock presses still keep the computer awake; the user should know that the
    // system's own sleep lock is missing.
    if (!done) w_.status("SLEEP LOCK NOT TAKEN: " + upper(done.error));
}

}  // namespace pd
