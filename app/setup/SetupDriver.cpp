#include "app/setup/SetupDriver.hpp"

#include <algorithm>
#include <chrono>
#include <thread>

#include "app/setup/Openers.hpp"
#include "app/setup/Rehearsal.hpp"
#include "core/Catalogue.hpp"
#include "core/Colour.hpp"
#include "core/TextValue.hpp"
#include "core/TimeOfDay.hpp"
#include "main/MainWindow.hpp"

namespace pd::setup {

namespace {

// The class names from the main window down to `window`; empty when it cannot be reached.
std::vector<std::string> chainTo(std::string_view window) {
    std::vector<std::string> chain;
    for (std::string_view w = window; w != mainWindowName;) {
        const auto* row = openerOf(w);
        if (row == nullptr || chain.size() > openers().size()) return {};
        chain.emplace_back(w);
        w = row->openerWindow;
    }
    chain.emplace_back(mainWindowName);
    std::reverse(chain.begin(), chain.end());
    return chain;
}

std::string quoted(std::string_view s) {
    return "\"" + std::string(s) + "\"";
}

// A field whose default is a time takes a time: "5 seconds" would otherwise be kept as
// typed and read back as the default, or as nothing, at the next start.
std::optional<std::string> timeProblem(const std::string& name, const std::string& value) {
    const auto fallback = catalogue::defaultOf(name);
    if (!TimeOfDay::parse(fallback) || TimeOfDay::parse(value)) return std::nullopt;
    return name + " holds a time such as " + fallback + ", not " + quoted(value);
}

}  // namespace

SetupDriver::SetupDriver(App& app) : app_(app) {}

std::optional<SetupError> SetupDriver::run(const std::vector<SetupLine>& lines) {
    app_.setDialogs(answers_);
    if (!app_.running()) app_.start<MainWindow>();
    auto previous = app_.onStoreFailure;
    app_.onStoreFailure = [this, previous](const std::string& key) {
        if (previous) previous(key);
        storeFailures_.push_back(key);
    };
    auto failure = [this]() -> std::optional<std::string> {
        if (!answers_.failures.empty()) return answers_.failures.front();
        if (!storeFailures_.empty()) {
            const auto why = app_.store().failure();
            return "the settings store did not keep " + storeFailures_.front() +
                   (why.empty() ? "" : ": " + why);
        }
        return std::nullopt;
    };

    for (const auto& line : lines) {
        std::optional<std::string> why;
        switch (line.kind) {
            case SetupLine::Kind::Section:
                why = enterSection(line.name);
                break;
            case SetupLine::Kind::Set:
                why = set(line);
                break;
            case SetupLine::Kind::Press:
                why = press(line);
                break;
        }
        if (!why) why = failure();
        forgetClosedWindows();
        app_.collectClosed();
        if (why) return SetupError{line.line, *why};
    }

    closeAbove(0);
    if (app_.running()) {
        // Closing by the close box keeps no node choice; a file that made one means it. The
        // choices and what the close box keeps land together.
        SettingsStore::Batch batch(app_.store());
        if (mainWindowSet_) mainWindow(app_).saveTheRunChoices();
        mainWindow(app_).close();
        app_.commitSettings(batch, mainWindowName);
    }
    app_.collectClosed();
    if (auto why = failure()) return SetupError{lines.empty() ? 0 : lines.back().line, "on closing: " + *why};
    return std::nullopt;
}

std::optional<std::string> SetupDriver::enterSection(const std::string& window) {
    if (!app_.running()) return std::string("the main window has been closed: no window can be opened");
    auto chain = chainTo(window);
    if (chain.empty()) return "unknown window " + quoted(window);
    section_ = window;

    // Windows outside the new chain close by their close boxes, innermost first.
    std::size_t keep = 0;
    while (keep < stack_.size() && keep + 1 < chain.size() && stack_[keep]->className() == chain[keep + 1])
        ++keep;
    closeAbove(keep);

    for (std::size_t i = keep + 1; i < chain.size(); ++i) {
        Window& opener = stack_.empty() ? static_cast<Window&>(mainWindow(app_)) : *stack_.back();
        const auto* row = openerOf(chain[i]);
        auto* button = dynamic_cast<Button*>(opener.find(row->openerButton));
        if (button == nullptr)
            return opener.className() + " has no button " + std::string(row->openerButton) + " to open " +
                   chain[i];
        if (!button->click())
            return "cannot open " + chain[i] + ": " + button->name() + " of " + opener.className() +
                   " is greyed";
        Window* opened = openedBy(opener, chain[i]);
        if (opened == nullptr)
            return "pressing " + button->name() + " of " + opener.className() + " did not open " + chain[i];
        stack_.push_back(opened);
    }
    return std::nullopt;
}

std::optional<std::string> SetupDriver::set(const SetupLine& line) {
    Window* w = nullptr;
    if (auto why = currentWindow(w)) return why;
    Element* e = w->find(line.name);
    if (e == nullptr) return w->className() + " has no element " + line.name;
    switch (e->kind()) {
        case ElementKind::TextBox: {
            auto& box = static_cast<TextBox&>(*e);
            if (!box.visible())
                return line.name + " is not shown in " + w->className() + shownBelow(*w, line.name);
            if (auto problem = oneLineProblem(line.value); !problem.empty() && !box.multiLine())
                return line.name + " takes one line: the value is refused because " + problem;
            if (auto problem = timeProblem(line.name, line.value)) return problem;
            if (auto why = unlock(*w, box)) return why;
            if (!box.type(line.value)) return line.name + " is greyed or locked: it cannot be typed into";
            mainWindowSet_ = mainWindowSet_ || w == &mainWindow(app_);
            return std::nullopt;
        }
        case ElementKind::TickBox: {
            auto& tick = static_cast<TickBox&>(*e);
            if (line.value != "0" && line.value != "1")
                return line.name + " is a tickbox: its value is 0 or 1, not " + quoted(line.value);
            if (!tick.enabled() || !tick.visible())
                return line.name + " is greyed: it cannot be ticked or cleared";
            tick.setValue(line.value == "1" ? 1 : 0);
            mainWindowSet_ = mainWindowSet_ || w == &mainWindow(app_);
            return awaitResult(*w);
        }
        case ElementKind::Button:
            return line.name + " is a button: write press = " + line.name;
        case ElementKind::Label:
            return line.name + " is a label: it cannot be set";
    }
    return std::nullopt;
}

std::optional<std::string> SetupDriver::press(const SetupLine& line) {
    Window* w = nullptr;
    if (auto why = currentWindow(w)) return why;
    Element* e = w->find(line.name);
    if (e == nullptr) return w->className() + " has no button " + line.name;
    if (e->kind() != ElementKind::Button)
        return line.name + " is not a button: write " + line.name + " = value";
    runRegeneration();
    if (!static_cast<Button&>(*e).click()) return line.name + " is greyed: it cannot be pressed";
    adoptNewWindows();
    return awaitResult(*w);
}

std::optional<std::string> SetupDriver::unlock(Window& w, const TextBox& box) {
    if (box.enabled() && !box.locked()) return std::nullopt;
    const auto* row = unlockerOf(w.className(), box.name());
    auto* tick = row ? dynamic_cast<TickBox*>(w.find(row->tick)) : nullptr;
    if (tick == nullptr || tick->ticked()) return std::nullopt;
    if (!tick->enabled())
        return box.name() + " is greyed until " + tick->name() + " is ticked, and that is greyed";
    tick->setValue(1);
    return std::nullopt;
}

std::string SetupDriver::shownBelow(const Window& w, std::string_view name) const {
    // A window's hidden copy of a field that a window under it shows: the user sets it there.
    for (const auto* below : stack_)
        if (below != &w && below->isOpen())
            if (const auto* e = below->find(name); e != nullptr && e->visible())
                return ": it is set in " + below->className();
    return {};
}

std::optional<std::string> SetupDriver::awaitResult(Window& w) {
    const auto* row = openerOf(w.className());
    if (row == nullptr || row->resultTimer.empty() || !w.isOpen()) return std::nullopt;
    Timer* poller = nullptr;
    for (auto* t : w.timers())
        if (t->name() == row->resultTimer) poller = t;
    // The result comes on the window's own timer, which nothing else runs here.
    for (int waited = 0; poller != nullptr && poller->enabled() && poller->onTick;
         waited += poller->interval()) {
        if (waited >= resultWaitMs)
            return w.className() + " ran a command that has not ended after " +
                   std::to_string(resultWaitMs / 1000) + " s";
        poller->onTick();
        if (poller->enabled()) std::this_thread::sleep_for(std::chrono::milliseconds(poller->interval()));
    }
    const auto* label = w.find(row->resultLabel);
    if (label != nullptr && label->fore() == colour::red) return w.className() + " says: " + label->text();
    return std::nullopt;
}

std::optional<std::string> SetupDriver::currentWindow(Window*& out) const {
    if (section_ == mainWindowName) {
        if (!app_.running()) return std::string("the main window has been closed");
        out = &mainWindow(app_);
        return std::nullopt;
    }
    for (auto* w : stack_)
        if (w->isOpen() && w->className() == section_) {
            out = w;
            return std::nullopt;
        }
    return section_ + " has been closed by an earlier press";
}

void SetupDriver::runRegeneration() {
    for (auto* w : stack_) {
        if (!w->isOpen()) continue;
        const auto* row = openerOf(w->className());
        if (row == nullptr || row->regenerationTimer.empty()) continue;
        for (auto* t : w->timers())
            if (t->name() == row->regenerationTimer && t->enabled() && t->onTick) t->onTick();
    }
}

void SetupDriver::forgetClosedWindows() {
    std::erase_if(stack_, [](Window* w) { return !w->isOpen(); });
}

void SetupDriver::adoptNewWindows() {
    // A pressed button may open a window: it is then part of the chain, closed like the rest.
    for (auto* w : app_.openWindows())
        if (w != &mainWindow(app_) && std::find(stack_.begin(), stack_.end(), w) == stack_.end())
            stack_.push_back(w);
}

void SetupDriver::closeAbove(std::size_t keep) {
    while (stack_.size() > keep) {
        Window* w = stack_.back();
        stack_.pop_back();
        if (w->isOpen()) w->close();
    }
}

Window* SetupDriver::openedBy(const Window& opener, std::string_view className) const {
    for (auto* w : app_.openWindows())
        if (w->owner() == &opener && w->className() == className) return w;
    return nullptr;
}

std::optional<SetupError> applySetup(const std::string& exe, SettingsStore& store, Platform& platform,
                                     const Profile& profile, Clock& clock,
                                     const std::vector<SetupLine>& lines, const std::string& ownFile) {
    auto applyTo = [&](SettingsStore& s, Platform& p) {
        Scheduler scheduler(clock);
        App app(exe, s, p, profile, scheduler);
        app.setOwnFile(ownFile);
        return SetupDriver(app).run(lines);
    };
    {
        RehearsalStore rehearsedStore(store);
        RehearsalPlatform rehearsedSystem(platform);
        if (auto error = applyTo(rehearsedStore, rehearsedSystem)) return error;
    }
    return applyTo(store, platform);
}

}  // namespace pd::setup
