#include "core/Element.hpp"

#include <algorithm>

#include "core/Window.hpp"

namespace pd {

Element::Element(Window& owner, std::string_view name, ElementKind kind, Design design)
    : owner_(owner),
      name_(name),
      kind_(kind),
      text_(std::move(design.text)),
      fore_(design.fore),
      back_(design.back),
      tip_(std::move(design.tip)),
      enabled_(design.enabled),
      visible_(design.visible) {
    owner_.registerElement(*this);
}

void Element::setText(std::string_view text) {
    if (text_ == text) return;
    text_ = text;
    notify(Text);
    textChanged();
}

void Element::setFore(Colour c) {
    if (fore_ == c) return;
    fore_ = c;
    notify(Colours);
}

void Element::setBack(Colour c) {
    if (back_ == c) return;
    back_ = c;
    notify(Colours);
}

void Element::setColours(Colour fore, Colour back) {
    if (fore_ == fore && back_ == back) return;
    fore_ = fore;
    back_ = back;
    notify(Colours);
}

void Element::setEnabled(bool on) {
    if (enabled_ == on) return;
    enabled_ = on;
    notify(Enabled);
}

void Element::setVisible(bool on) {
    if (visible_ == on) return;
    visible_ = on;
    notify(Visible);
}

void Element::setToolTip(std::string_view tip) {
    if (tip_ == tip) return;
    tip_ = tip;
    notify(ToolTip);
}

int Element::observe(Observer observer) {
    observers_.emplace_back(nextObserver_, std::move(observer));
    return nextObserver_++;
}

void Element::unobserve(int id) {
    std::erase_if(observers_, [id](const auto& o) { return o.first == id; });
}

void Element::doubleClick() {
    if (enabled_ && onDoubleClick) onDoubleClick();
}

void Element::notify(Change what) {
    // Copy: an observer may unregister itself or others while being told. An observer
    // that changes this element meanwhile is told of that change in turn.
    auto observers = observers_;
    for (auto& [id, observer] : observers) {
        changed_ = what;
        observer(*this);
    }
    changed_ = 0;
}

TextBox::TextBox(Window& owner, std::string_view name, Design design)
    : Element(owner, name, ElementKind::TextBox, design),
      locked_(design.locked),
      multiLine_(design.multiLine),
      password_(design.password) {}

void TextBox::setLocked(bool on) {
    if (locked_ == on) return;
    locked_ = on;
    notify(Locked);
}

void TextBox::setPassword(bool on) {
    if (password_ == on) return;
    password_ = on;
    notify(Password);
}

bool TextBox::type(std::string_view text) {
    if (!enabled() || locked_) return false;
    setText(text);
    return true;
}

void TextBox::textChanged() {
    if (onChange) onChange();
}

TickBox::TickBox(Window& owner, std::string_view name, Design design)
    : Element(owner, name, ElementKind::TickBox, design), value_(design.value) {}

void TickBox::setValue(int value) {
    if (value_ == value) return;
    value_ = value;
    notify(Value);
    if (onChange) onChange();
}

bool TickBox::click() {
    if (!enabled() || !visible()) return false;
    setValue(value_ ? 0 : 1);
    return true;
}

Button::Button(Window& owner, std::string_view name, Design design)
    : Element(owner, name, ElementKind::Button, [&] {
          if (design.back == colour::windowBackground) design.back = colour::buttonFace;
          if (design.fore == colour::windowText) design.fore = colour::buttonText;
          return design;
      }()) {}

bool Button::click() {
    if (!enabled() || !visible()) return false;
    if (onClick) onClick();
    return true;
}

Label::Label(Window& owner, std::string_view name, Design design)
    : Element(owner, name, ElementKind::Label, design) {}

}  // namespace pd
