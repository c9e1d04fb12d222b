#pragma once

#include "core/Window.hpp"

namespace pd {

// PACEDECK_BOX_INFO_WINDOW: the computer's name and the signed-in user's name.
class BoxInfoWindow final : public Window {
  public:
    explicit BoxInfoWindow(App& app);
    LayoutNode layout() override;

    // clang-format off
    Label HEADING_LABEL{*this, "HEADING_LABEL", {.text = "BOX-INFO"}};
    TextBox PC_NAME_TEXTBOX{*this, "PC_NAME_TEXTBOX", {.locked = true}};
    TextBox USERNAME_TEXTBOX{*this, "USERNAME_TEXTBOX", {.locked = true}};
    Button OK_BUTTON{*this, "OK_BUTTON", {.text = "OK"}};
    // clang-format on

  protected:
    void load() override;
    void unload() override { storePosition(); }
};

}  // namespace pd
