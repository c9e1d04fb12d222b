#pragma once

#include "core/Window.hpp"

namespace pd {

// PACEDECK_SELF_TERMINATION_WINDOW: asked before the terminator ends processes named like
// this program, this one included.
class SelfTerminationWindow final : public Window {
  public:
    explicit SelfTerminationWindow(App& app);
    LayoutNode layout() override;

    // clang-format off
    Label QUESTION_LABEL{*this, "QUESTION_LABEL", {.text = "MMM... SELF-TERMINATION... !?!?!? :)"}};
    Button SELF_TERMINATE_BUTTON{*this, "SELF_TERMINATE_BUTTON", {.text = "YES, REALLY, SELF-TERMINATE..."}};
    Button ONLY_JOKING_BUTTON{*this, "ONLY_JOKING_BUTTON", {.text = "!!! NO - ONLY JOKING !!! :)"}};
    // clang-format on

  protected:
    void load() override { restoreGeometry(); }
    void unload() override { storePosition(); }

  private:
    void selfTerminateClicked();
};

}  // namespace pd
