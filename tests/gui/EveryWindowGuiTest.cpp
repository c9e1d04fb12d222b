#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <set>
#include <string>

#include "GuiHarness.hpp"
#include "core/Catalogue.hpp"
#include "schedule/PowerAutotimerWindow.hpp"
#include "tools/SelfTerminationWindow.hpp"

namespace pd::test {
namespace {

// Every window, reached as a user reaches it, must show all of its elements inside its
// default size: nothing cut off, nothing needing a bigger window.
class EveryWindow : public ::testing::Test {
  protected:
    GuiHarness h;
    std::set<std::string> seen;

    Window& open(Window& opener, const char* button) {
        auto* b = dynamic_cast<Button*>(opener.find(button));
        EXPECT_NE(b, nullptr) << button;
        if (b) {
            EXPECT_TRUE(b->click()) << opener.className() << "." << button;
        }
        QApplication::processEvents();
        return *h.app.openWindows().back();
    }

    void checkUsable(Window& w) {
        QApplication::processEvents();
        const auto& cls = w.className();
        seen.insert(cls);
        auto& view = h.view(w);
        EXPECT_TRUE(view.isVisible()) << cls;
        const auto& g = catalogue::geometryOf(cls);
        const double tpp = view.twipsPerPixel();
        EXPECT_NEAR(view.width(), g.width / tpp, 1.0) << cls << " needs a wider window";
        EXPECT_NEAR(view.height(), g.height / tpp, 1.0) << cls << " needs a taller window";
        for (auto* e : w.elements()) {
            auto* widget = view.findChild<QWidget*>(QString::fromStdString(e->name()));
            if (!e->visible() || !widget || !widget->isVisible()) continue;
            const QRect inView(widget->mapTo(&view, QPoint(0, 0)), widget->size());
            EXPECT_TRUE(view.rect().contains(inView)) << cls << ": " << e->name() << " is cut off";
            EXPECT_GT(widget->width(), 4) << cls << ": " << e->name();
        }
        view.grab().save(QString::fromStdString(std::string(PACEDECK_GUI_ARTEFACT_DIR "/") + cls + ".png"));
    }

    void visit(Window& opener, const char* button) { checkUsable(open(opener, button)); }
};

TEST_F(EveryWindow, EachWindowShowsAllItsElementsAtItsDefaultSize) {
    auto& main = h.start();
    checkUsable(main);

    auto& settings = open(main, "SETTINGS_BUTTON");
    static_cast<TextBox*>(settings.find("PACEDECK_HOME_TEXTBOX"))->type("/home/tester/pd");
    checkUsable(settings);
    visit(settings, "CRYPTO_SETTINGS_BUTTON");
    auto& email = open(settings, "SE_SETTINGS_BUTTON");
    checkUsable(email);
    visit(email, "SHARED_SETTINGS_BUTTON");
    auto& generator = open(settings, "CONF_MANAGER_BUTTON");
    checkUsable(generator);
    visit(generator, "IDS_BUTTON");
    visit(generator, "SW_RPC_TEST_CREDENTIALS_BUTTON");
    auto& single = open(settings, "VIEW_OUTPUT_COMMANDS_BUTTON");
    checkUsable(single);
    visit(single, "VIEW_ALL_COMMANDS_BUTTON");
    auto& reports = open(settings, "REPORTS_LOGS_BUTTON");
    checkUsable(reports);
    visit(reports, "LOG_MANAGER_BUTTON");
    visit(settings, "POWER_AUTOTIMER_BUTTON");
    visit(settings, "SCHEDULER_BUTTON");

    for (auto* button : {"MANUAL_RUN_BUTTON", "BOX_INFO_BUTTON", "BLOCK_TIMES_WINDOW_BUTTON", "HELP_BUTTON"})
        visit(main, button);
    auto& terminator = open(main, "TERMINATOR_BUTTON");
    checkUsable(terminator);
    checkUsable(h.app.open<SelfTerminationWindow>(&terminator));
    auto& about = open(main, "ABOUT_BUTTON");
    checkUsable(about);
    visit(about, "DEDICATIONS_BUTTON");
    visit(about, "DONATIONS_BUTTON");
    // The run's last stage shows the power countdown.
    checkUsable(h.app.open<PowerAutotimerWindow>(&main, false));

    EXPECT_EQ(seen.size(), catalogue::geometries().size());
}

}  // namespace
}  // namespace pd::test
