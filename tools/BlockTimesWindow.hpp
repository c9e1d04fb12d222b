#pragma once
#include <string_view>

#include "core/Window.hpp"

namespace pd {

// PACEDECK_BLOCK_TIMES_WINDOW: the average block time of each supported coin and a
// shorter recommended interval; either goes into the main window's count time.
class BlockTimesWindow final : public Window {
  public:
    explicit BlockTimesWindow(App& app);
    LayoutNode layout() override;

    // clang-format off
    Label HEADING_LABEL{*this, "HEADING_LABEL", {.text = "AVERAGE BLOCK TIMES - BLOCKCOUNTER RUN TIMES"}};
    TextBox BTC_TIME_TEXTBOX{*this, "BTC_TIME_TEXTBOX", {.text = "00:10:00", .locked = true}};
    TextBox NMC_TIME_TEXTBOX{*this, "NMC_TIME_TEXTBOX", {.text = "00:02:30", .locked = true}};
    TextBox LTC_TIME_TEXTBOX{*this, "LTC_TIME_TEXTBOX", {.text = "00:02:30", .locked = true}};
    TextBox DASH_TIME_TEXTBOX{*this, "DASH_TIME_TEXTBOX", {.text = "00:02:30", .locked = true}};
    TextBox VTC_TIME_TEXTBOX{*this, "VTC_TIME_TEXTBOX", {.text = "00:02:30", .locked = true}};
    TextBox BTG_TIME_TEXTBOX{*this, "BTG_TIME_TEXTBOX", {.text = "00:10:00", .locked = true}};
    TextBox REC_BTC_TIME_TEXTBOX{*this, "REC_BTC_TIME_TEXTBOX", {.text = "00:01:00", .locked = true}};
    TextBox REC_NMC_TIME_TEXTBOX{*this, "REC_NMC_TIME_TEXTBOX", {.text = "00:00:30", .locked = true}};
    TextBox REC_LTC_TIME_TEXTBOX{*this, "REC_LTC_TIME_TEXTBOX", {.text = "00:00:30", .locked = true}};
    TextBox REC_DASH_TIME_TEXTBOX{*this, "REC_DASH_TIME_TEXTBOX", {.text = "00:00:30", .locked = true}};
    TextBox REC_VTC_TIME_TEXTBOX{*this, "REC_VTC_TIME_TEXTBOX", {.text = "00:00:30", .locked = true}};
    TextBox REC_BTG_TIME_TEXTBOX{*this, "REC_BTG_TIME_TEXTBOX", {.text = "00:01:00", .locked = true}};
    Button USE_BTC_TIME_BUTTON{*this, "USE_BTC_TIME_BUTTON", {.text = "Use"}};
    Button USE_NMC_TIME_BUTTON{*this, "USE_NMC_TIME_BUTTON", {.text = "Use"}};
    Button USE_LTC_TIME_BUTTON{*this, "USE_LTC_TIME_BUTTON", {.text = "Use"}};
    Button USE_DASH_TIME_BUTTON{*this, "USE_DASH_TIME_BUTTON", {.text = "Use"}};
    Button USE_VTC_TIME_BUTTON{*this, "USE_VTC_TIME_BUTTON", {.text = "Use"}};
    Button USE_BTG_TIME_BUTTON{*this, "USE_BTG_TIME_BUTTON", {.text = "Use"}};
    Button REC_USE_BTC_TIME_BUTTON{*this, "REC_USE_BTC_TIME_BUTTON", {.text = "Use"}};
    Button REC_USE_NMC_TIME_BUTTON{*this, "REC_USE_NMC_TIME_BUTTON", {.text = "Use"}};
    Button REC_USE_LTC_TIME_BUTTON{*this, "REC_USE_LTC_TIME_BUTTON", {.text = "Use"}};
    Button REC_USE_DASH_TIME_BUTTON{*this, "REC_USE_DASH_TIME_BUTTON", {.text = "Use"}};
    Button REC_USE_VTC_TIME_BUTTON{*this, "REC_USE_VTC_TIME_BUTTON", {.text = "Use"}};
    Button REC_USE_BTG_TIME_BUTTON{*this, "REC_USE_BTG_TIME_BUTTON", {.text = "Use"}};
    Button OK_BUTTON{*this, "OK_BUTTON", {.text = "OK"}};
    // clang-format on

  protected:
    void load() override { restoreGeometry(); }
    void unload() override { storePosition(); }

  private:
    void useTime(std::string_view time);
};

}  // namespace pd
