#include "core/Window.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "core/App.hpp"

namespace pd {

Window::Window(App& app, std::string_view className, std::string caption)
    : app_(app), className_(className), caption_(std::move(caption)) {}

Window::~Window() = default;

void Window::setCaption(std::string_view caption) {
    if (caption_ == caption) return;
    caption_ = caption;
    if (onWindowChanged) onWindowChanged();
}

Element* Window::find(std::string_view name) const {
    for (auto* e : elements_)
        if (e->name() == name) return e;
    return nullptr;
}

void Window::moveTo(double left, double top) {
    geometry_.left = left;
    geometry_.top = top;
}

void Window::opened(Window* owner, bool modal) {
    owner_ = owner;
    modal_ = modal;
    open_ = true;
}

void Window::runLoad() {
    load();
}

void Window::close() {
    if (!open_) return;
    {
        // What a window keeps at closing lands whole; a caller's batch takes it in.
        SettingsStore::Batch batch(app_.store());
        unload();
        app_.commitSettings(batch, className_);
    }
    open_ = false;
    for (auto* t : timers_) t->stop();
    app_.windowClosed(*this);
}

std::string Window::setting(std::string_view key) const {
    return setting(key, catalogue::defaultOf(key));
}

std::string Window::setting(std::string_view key, std::string_view fallback) const {
    return app_.readSetting(app_.exe(), key, fallback);
}

bool Window::store(std::string_view key, std::string_view value) {
    return app_.writeSetting(app_.exe(), key, value);
}

void Window::loadText(Element& e) {
    loadText(e, e.name());
}
void Window::loadText(Element& e, std::string_view key) {
    e.setText(setting(key));
}

void Window::loadTick(TickBox& t) {
    loadTick(t, t.name());
}
void Window::loadTick(TickBox& t, std::string_view key) {
    auto fallback = tickValue(catalogue::defaultOf(key), 0);
    t.setValue(tickValue(setting(key), fallback));
}

bool Window::storeText(const Element& e) {
    return store(e.name(), e.text());
}
bool Window::storeTick(const TickBox& t) {
    return store(t.name(), std::to_string(t.value()));
}

void Window::restoreGeometry() {
    const auto& g = catalogue::geometryOf(className_);
    auto read = [&](std::string_view side, double fallback) {
        return positionValue(setting(catalogue::geometryKey(g, side), ""), fallback);
    };
    geometry_.left = read("Left", catalogue::defaultPosition);
    geometry_.top = read("Top", catalogue::defaultPosition);
    geometry_.placeStored = !std::isnan(read("Left", NAN)) && !std::isnan(read("Top", NAN));
    geometry_.width = read("Width", g.width);
    geometry_.height = read("Height", g.height);
    if (onWindowChanged) onWindowChanged();
}

void Window::storePosition() {
    const auto& g = catalogue::geometryOf(className_);
    store(catalogue::geometryKey(g, "Left"), positionText(geometry_.left));
    store(catalogue::geometryKey(g, "Top"), positionText(geometry_.top));
}

void Window::storePosition(std::string_view prefix) {
    store(std::string(prefix) + "-Left", positionText(geometry_.left));
    store(std::string(prefix) + "-Top", positionText(geometry_.top));
}

std::string positionText(double twips) {
    auto single = static_cast<float>(twips);
    char buf[64];
    if (std::nearbyint(single) == single && std::fabs(single) < 1e9f)
        std::snprintf(buf, sizeof buf, "%.0f", static_cast<double>(single));
    else
        std::snprintf(buf, sizeof buf, "%.7g", static_cast<double>(single));
    return buf;
}

double positionValue(std::string_view text, double fallback) {
    float v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty() || !std::isfinite(v))
        return fallback;
    return v;
}

int tickValue(std::string_view text, int fallback) {
    int v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty() || (v != 0 && v != 1))
        return fallback;
    return v;
}

}  // namespace pd
