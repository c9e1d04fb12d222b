#pragma once

#include "core/Window.hpp"

namespace pd {

// PACEDECK_DONATIONS_WINDOW: how to give something back.
class DonationsWindow final : public Window {
  public:
    explicit DonationsWindow(App& app);
    LayoutNode layout() override;

    // clang-format off
    TextBox DONATIONS_TEXTBOX{*this, "DONATIONS_TEXTBOX", {.locked = true, .multiLine = true}};
    Button OK_BUTTON{*this, "OK_BUTTON", {.text = "OK"}};
    // clang-format on

  protected:
    void load() override { restoreGeometry(); }
    void unload() override { storePosition(); }
};

}  // namespace pd
