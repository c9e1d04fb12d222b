#pragma once
#include <string>
#include <vector>

#include "Harness.hpp"
#include "confgen/CoinPresetsWindow.hpp"
#include "confgen/ConfGeneratorWindow.hpp"
#include "confgen/TestRpcCredentialsWindow.hpp"

namespace pd::test {

// Remembers the messages a window showed.
class RecordingDialogs final : public Dialogs {
  public:
    std::optional<std::string> browseFolder(Window&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> openFile(Window&, const std::string&, const std::string&, const std::string&,
                                        const std::string&) override {
        return std::nullopt;
    }
    void message(Window&, const std::string&, const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

// A copy named BTC with its home folder set, the main window open and the generator open
// over it.
struct ConfGen {
    static constexpr const char* windowsHome = "C:\\SYNCWARD-ROOT\\PACEDECK";

    explicit ConfGen(Profile profile = windowsProfile(), std::string home = windowsHome)
        : h("BTC", std::move(profile)) {
        h.app.setDialogs(dialogs);
        h.put("PACEDECK_HOME_TEXTBOX", home);
        h.start();
    }
    ConfGeneratorWindow& open() { return h.app.open<ConfGeneratorWindow>(&h.main()); }
    CoinPresetsWindow& presets(ConfGeneratorWindow& g) {
        g.IDS_BUTTON.click();
        return *h.app.find<CoinPresetsWindow>();
    }
    // Arms the preset window and presses a preset button.
    static void press(CoinPresetsWindow& p, Button& preset) {
        p.IMPORT_SETTINGS_TICKBOX.setValue(1);
        preset.click();
    }
    // The output line n (1-based), split at the profile's line end.
    std::vector<std::string> lines(const ConfGeneratorWindow& g) const {
        std::vector<std::string> out;
        const std::string& text = g.CONF_OUTPUT_TEXTBOX.text();
        const std::string& end = h.app.profile().lineEnd;
        std::size_t from = 0;
        for (;;) {
            auto at = text.find(end, from);
            if (at == std::string::npos) {
                out.push_back(text.substr(from));
                return out;
            }
            out.push_back(text.substr(from, at - from));
            from = at + end.size();
        }
    }

    RecordingDialogs dialogs;
    Harness h;
};

}  // namespace pd::test
