#pragma once

#include "core/Window.hpp"

namespace pd {

// PACEDECK_ABOUT: what the program is, with the way to the dedications and donations.
class AboutWindow final : public Window {
  public:
    explicit AboutWindow(App& app);
    LayoutNode layout() override;

    // clang-format off
    TextBox ABOUT_TEXTBOX{*this, "ABOUT_TEXTBOX", {.locked = true, .multiLine = true}};
    Button DEDICATIONS_BUTTON{*this, "DEDICATIONS_BUTTON", {.text = "Dedications"}};
    Button DONATIONS_BUTTON{*this, "DONATIONS_BUTTON", {.text = "Donations"}};
    Button OK_BUTTON{*this, "OK_BUTTON", {.text = "OK"}};
    // clang-format on

  protected:
    void load() override { restoreGeometry(); }
    void unload() override { storePosition(); }
};

}  // namespace pd
