#pragma once

#include "core/Window.hpp"

namespace pd {

// PACEDECK_HELP_WINDOW: a short guide, and where this copy keeps its settings.
class HelpWindow final : public Window {
  public:
    explicit HelpWindow(App& app);
    LayoutNode layout() override;

    // clang-format off
    TextBox HELP_TEXTBOX{*this, "HELP_TEXTBOX", {.locked = true, .multiLine = true}};
    TextBox REGISTRY_LOCATION_TEXTBOX{*this, "REGISTRY_LOCATION_TEXTBOX", {.locked = true}};
    Button OK_BUTTON{*this, "OK_BUTTON", {.text = "OK"}};
    // clang-format on

  protected:
    void load() override;
    void unload() override { storePosition(); }
};

}  // namespace pd
