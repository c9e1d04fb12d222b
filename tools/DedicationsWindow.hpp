#pragma once

#include "core/Window.hpp"

namespace pd {

// PACEDECK_DEDICATIONS_WINDOW: a few words of thanks.
class DedicationsWindow final : public Window {
  public:
    explicit DedicationsWindow(App& app);
    LayoutNode layout() override;

    // clang-format off
    TextBox DEDICATIONS_TEXTBOX{*this, "DEDICATIONS_TEXTBOX", {.locked = true, .multiLine = true}};
    Button OK_BUTTON{*this, "OK_BUTTON", {.text = "OK"}};
    // clang-format on

  protected:
    void load() override { restoreGeometry(); }
    void unload() override { storePosition(); }
};

}  // namespace pd
