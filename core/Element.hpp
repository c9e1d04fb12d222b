#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Colour.hpp"

namespace pd {

class Window;

enum class ElementKind { TextBox, TickBox, Button, Label };

// Design-time state of an element, as the window declares it.
struct Design {
    std::string text{};
    Colour fore = colour::windowText;
    Colour back = colour::windowBackground;
    std::string tip{};
    bool enabled = true;
    bool visible = true;
    bool locked = false;
    bool multiLine = false;
    bool password = false;
    int value = 0;
};

// A named element of a window. Its state is what the windows decide on (texts, colours,
// enabled flags), so every change is observable by the front end that renders it.
class Element {
  public:
    using Observer = std::function<void(const Element&)>;
    // What one change touched, so that a renderer redoes only that.
    enum Change : unsigned {
        Text = 1u << 0,
        Colours = 1u << 1,
        Enabled = 1u << 2,
        Visible = 1u << 3,
        ToolTip = 1u << 4,
        Locked = 1u << 5,
        Password = 1u << 6,
        Value = 1u << 7,
        Everything = (1u << 8) - 1,
    };

    Element(Window& owner, std::string_view name, ElementKind kind, Design design);
    Element(const Element&) = delete;
    Element& operator=(const Element&) = delete;
    virtual ~Element() = default;

    const std::string& name() const { return name_; }
    ElementKind kind() const { return kind_; }
    Window& window() const { return owner_; }

    const std::string& text() const { return text_; }
    void setText(std::string_view text);

    Colour fore() const { return fore_; }
    Colour back() const { return back_; }
    void setFore(Colour c);
    void setBack(Colour c);
    void setColours(Colour fore, Colour back);

    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    bool visible() const { return visible_; }
    void setVisible(bool on);

    const std::string& toolTip() const { return tip_; }
    void setToolTip(std::string_view tip);

    // Observers are told after every change of state, and only then; the id unregisters.
    int observe(Observer observer);
    void unobserve(int id);
    // While observers are told: what the change touched (a set of Change bits).
    unsigned changed() const { return changed_; }

    // Double-click from the user; ignored while the element is disabled.
    std::function<void()> onDoubleClick;
    void doubleClick();

  protected:
    virtual void textChanged() {}
    void notify(Change what);

  private:
    Window& owner_;
    std::string name_;
    ElementKind kind_;
    std::string text_;
    Colour fore_;
    Colour back_;
    std::string tip_;
    bool enabled_;
    bool visible_;
    std::vector<std::pair<int, Observer>> observers_;
    int nextObserver_ = 1;
    unsigned changed_ = 0;
};

class TextBox : public Element {
  public:
    TextBox(Window& owner, std::string_view name, Design design = {});

    bool locked() const { return locked_; }
    void setLocked(bool on);
    bool multiLine() const { return multiLine_; }
    bool password() const { return password_; }
    void setPassword(bool on);

    // Runs whenever the text changes, by typing or by code.
    std::function<void()> onChange;
    // Typing by the user: refused while the box is disabled or locked.
    bool type(std::string_view text);

  protected:
    void textChanged() override;

  private:
    bool locked_;
    bool multiLine_;
    bool password_;
};

class TickBox : public Element {
  public:
    TickBox(Window& owner, std::string_view name, Design design = {});

    int value() const { return value_; }
    bool ticked() const { return value_ != 0; }
    // The tick rule (onChange) runs whenever the value changes; setting the value it
    // already has runs nothing.
    void setValue(int value);
    void setTicked(bool on) { setValue(on ? 1 : 0); }
    std::function<void()> onChange;
    // A click by the user toggles the value; ignored while disabled.
    bool click();

  private:
    int value_;
};

class Button : public Element {
  public:
    Button(Window& owner, std::string_view name, Design design = {});
    std::function<void()> onClick;
    // A click by the user; ignored while disabled or hidden.
    bool click();
};

class Label : public Element {
  public:
    Label(Window& owner, std::string_view name, Design design = {});
};

}  // namespace pd
