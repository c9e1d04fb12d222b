#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Catalogue.hpp"
#include "core/Element.hpp"
#include "core/Layout.hpp"
#include "core/Timer.hpp"

namespace pd {

class App;

// Position and size in twips (1/1440 inch), as the settings keep them.
struct Geometry {
    double left = catalogue::defaultPosition;
    double top = catalogue::defaultPosition;
    double width = 0;
    double height = 0;
    // Left and top came from the settings: the window opens where it was left. Otherwise
    // a front end may place it where it covers the least of its owner.
    bool placeStored = false;
};

// A window: its named elements and timers, its handlers, its geometry and declared
// layout. Windows reach each other through typed references held by the App.
class Window {
  public:
    Window(App& app, std::string_view className, std::string caption);
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    App& app() const { return app_; }
    const std::string& className() const { return className_; }
    Window* owner() const { return owner_; }
    bool modal() const { return modal_; }

    const std::string& caption() const { return caption_; }
    void setCaption(std::string_view caption);

    Element* find(std::string_view name) const;
    const std::vector<Element*>& elements() const { return elements_; }
    const std::vector<Timer*>& timers() const { return timers_; }

    const Geometry& geometry() const { return geometry_; }
    // The user moved the window (front end).
    void moveTo(double left, double top);

    // The declared layout that a front end renders.
    virtual LayoutNode layout() = 0;

    bool isOpen() const { return open_; }
    // Closing by code or by the window's close box: runs unload, stops the timers, and
    // lets the App forget the window.
    void close();

    // Observers of caption and geometry.
    std::function<void()> onWindowChanged;

    // For App.
    void opened(Window* owner, bool modal);
    void runLoad();
    // For Element and Timer.
    void registerElement(Element& e) { elements_.push_back(&e); }
    void registerTimer(Timer& t) { timers_.push_back(&t); }

  protected:
    virtual void load() {}
    virtual void unload() {}

    // Settings of this copy (the EXE section), with the catalogue's default.
    std::string setting(std::string_view key) const;
    std::string setting(std::string_view key, std::string_view fallback) const;
    bool store(std::string_view key, std::string_view value);
    void loadText(Element& e);  // from the key of the element's name
    void loadText(Element& e, std::string_view key);
    void loadTick(TickBox& t);
    void loadTick(TickBox& t, std::string_view key);
    bool storeText(const Element& e);
    bool storeTick(const TickBox& t);

    // Geometry from the catalogue entry of this window.
    void restoreGeometry();
    void storePosition();
    void storePosition(std::string_view prefix);  // under another prefix ("DESKTOP")

  private:
    App& app_;
    std::string className_;
    std::string caption_;
    Window* owner_ = nullptr;
    bool modal_ = false;
    bool open_ = false;
    Geometry geometry_;
    std::vector<Element*> elements_;
    std::vector<Timer*> timers_;
};

// Decimal text of a position as a single-precision number ("1000", "1234.5").
std::string positionText(double twips);
// A stored position or size, or the fallback when the text is not a number.
double positionValue(std::string_view text, double fallback);
// A stored tickbox value ("0" or "1"), or the fallback for any other text.
int tickValue(std::string_view text, int fallback);

}  // namespace pd
