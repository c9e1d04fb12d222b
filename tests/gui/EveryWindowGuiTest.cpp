#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "GuiHarness.hpp"
#include "common/EveryWindowWalk.hpp"
#include "common/WeeksOfRuns.hpp"
#include "core/Catalogue.hpp"
#include "ui/qt/Colours.hpp"
#include "ui/qt/TextFit.hpp"

namespace pd::test {
namespace {

std::string str(const QString& s) {
    return s.toStdString();
}

// The elements a layout declares as lamps: the only ones drawn by their colour alone.
void collectLamps(const LayoutNode& node, std::set<const Element*>& lamps) {
    if (node.kind == LayoutNode::Kind::Item && node.light) lamps.insert(node.element);
    for (auto& child : node.children) collectLamps(child, lamps);
}

// The widgets that show one piece of text or a box of it, in this window only (the
// windows it owns are its children too).
std::vector<QWidget*> shownWidgets(QWidget& view) {
    std::vector<QWidget*> out;
    for (auto* w : view.findChildren<QWidget*>()) {
        if (w->window() != &view || !w->isVisible()) continue;
        if (qobject_cast<QLabel*>(w) || qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w) ||
            qobject_cast<QPushButton*>(w) || qobject_cast<QCheckBox*>(w) || qobject_cast<QGroupBox*>(w))
            out.push_back(w);
    }
    return out;
}

QRect inView(QWidget& view, const QWidget& w) {
    return QRect(w.mapTo(&view, QPoint(0, 0)), w.size());
}

std::string describe(const QWidget& w) {
    return std::string(w.metaObject()->className()) + " \"" + str(pd::qt::wholeText(w)) + "\"" +
           (w.objectName().isEmpty() ? "" : " (" + str(w.objectName()) + ")");
}

// The roles a widget draws its text and its background with.
std::pair<QPalette::ColorRole, QPalette::ColorRole> textAndBack(const QWidget& w) {
    if (qobject_cast<const QLineEdit*>(&w) || qobject_cast<const QPlainTextEdit*>(&w))
        return {QPalette::Text, QPalette::Base};
    if (qobject_cast<const QPushButton*>(&w)) return {QPalette::ButtonText, QPalette::Button};
    return {QPalette::WindowText, QPalette::Window};
}

// What a user opens at the default size must be readable there: every caption whole,
// every value whole or whole in its tool tip, nothing on top of anything else, disabled
// text legible, a label a lamp only where the layout says so.
class EveryWindow : public ::testing::Test {
  protected:
    GuiHarness h;
    std::set<std::string> seen;
    // Values that a field normally holds must show without a tool tip.
    std::map<std::string, std::vector<std::string>> mustShowWhole;

    void SetUp() override {
        // A copy that has run before, with the values its fields normally hold.
        auto put = [&](const char* key, const std::string& value) { h.store.write("GUI", key, value); };
        put("MULTILOADER_LAST_RUN_TEXTBOX", "!!! COMPLETED SUCCESSFULLY !!!");
        put("BLOCKCOUNTER_LAST_RUN", "!!! OVERRIDE TIMER ACTIVATED !!!");
        put("TASK_20_ENABLE_TICKBOX", "1");
        put("AUTOTIMER_ACTION_TEXTBOX", "LOGOFF CURRENT USER");
        put("PACEDECK_HOME_TEXTBOX", "/home/tester/SYNCWARD-ROOT/PACEDECK");
        put("BLOCKCHAIN_HOME_TEXTBOX", "/home/tester/.bitcoin");
        put("CONF_FILE_LOCATION_TEXTBOX",
            "/home/tester/SYNCWARD-ROOT/PACEDECK/CONFIGS/GUI-CRYPTO-CONFIG.conf");
        put("CRYPTO_NAME_TEXTBOX", "BITCOIN");
        h.platform
            .files[HomeLayout(h.app.profile(), "/home/tester/SYNCWARD-ROOT/PACEDECK", "GUI").runHistory()] =
            weeksOfRuns();
        put("QT_NAME_TEXTBOX", "bitcoin-qt");
        put("DAEMOND_NAME_TEXTBOX", "bitcoind");
        put("DAEMONCLI_NAME_SETTINGS_TEXTBOX", "bitcoin-cli");
        put("RUN_DAEMON_TICKBOX", "1");
        mustShowWhole["PACEDECK_MAIN"] = {"MULTILOADER_LAST_RUN_TEXTBOX",
                                          "BLOCKCOUNTER_LAST_RUN_TEXTBOX",
                                          "AUTOCLOSE_OR_POWER_AUTOTIMER_TEXTBOX",
                                          "AUTOTIMER_ACTION_TEXTBOX",
                                          "PACEDECK_HOME_TEXTBOX",
                                          "BLOCKCHAIN_HOME_TEXTBOX",
                                          "CRYPTO_NAME_TEXTBOX",
                                          "QT_NAME_TEXTBOX",
                                          "DAEMON_NAME_TEXTBOX",
                                          "CLI_NAME_TEXTBOX",
                                          "RUN_QT_OR_D_TEXTBOX",
                                          "PC_NAME_TEXTBOX",
                                          "BLOCKCOUNT_LOG_START_TEXTBOX",
                                          "USER_COUNT_TIME_TEXTBOX",
                                          "BLOCKCOUNT_TIMER_TEXTBOX",
                                          "IDENTICAL_TEXTBOX",
                                          "VERIFYING_TEXTBOX",
                                          "TRIPLE_CHECK_TEXTBOX",
                                          "CONFIRMED_TEXTBOX",
                                          "PROCESS_TEXTBOX_4"};
        mustShowWhole["PACEDECK_MAIN_SETTINGS"] = {"PACEDECK_HOME_TEXTBOX", "CONF_FILE_LOCATION_TEXTBOX"};
        // The block-count log's path under that home is longer than its window is wide.
        mustShowWhole["PACEDECK_LOG_MANAGER"] = {"SE_LOG_LOCATION_TEXTBOX", "PACEDECK_LOG_LOCATION_TEXTBOX"};
        mustShowWhole["PACEDECK_POWER_AUTOTIMER_WINDOW"] = {"AUTOTIMER_ACTION_TEXTBOX",
                                                            "CLOSE_REQUEST_COUNTDOWN_TEXTBOX"};
        mustShowWhole["PACEDECK_POWER_AUTOTIMER_SETTINGS"] = {"AUTOTIMER_ACTION_TEXTBOX"};
    }

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
            EXPECT_TRUE(view.rect().contains(inView(view, *widget)))
                << cls << ": " << e->name() << " is cut off";
            EXPECT_GT(widget->width(), 4) << cls << ": " << e->name();
        }
        checkTexts(w, view);
        checkStatusLabels(w, view);
        checkNothingOverlaps(w, view);
        checkDisabledTextIsLegible(w, view);
        view.grab().save(QString::fromStdString(std::string(PACEDECK_GUI_ARTEFACT_DIR "/") + cls + ".png"));
    }

    // Captions (static texts, group titles, buttons, tickboxes) are the window's words and
    // always fit; a value that does not fit is whole in its tool tip.
    void checkTexts(Window& w, pd::qt::WindowView& view) {
        const auto& cls = w.className();
        std::set<std::string> strict(mustShowWhole[cls].begin(), mustShowWhole[cls].end());
        for (auto* widget : shownWidgets(view)) {
            if (pd::qt::showsWholeText(*widget)) continue;
            const Element* e = w.find(str(widget->objectName()));
            const bool value = e && (e->kind() == ElementKind::TextBox || e->kind() == ElementKind::Label);
            const QString text = pd::qt::wholeText(*widget);
            if (!value) {
                ADD_FAILURE() << cls << ": the caption of " << describe(*widget) << " is cut ("
                              << QFontMetrics(widget->font()).horizontalAdvance(text) << " px of text in "
                              << widget->width() << " px)";
            } else if (strict.count(e->name())) {
                ADD_FAILURE() << cls << ": " << describe(*widget)
                              << " is too narrow for what it normally holds ("
                              << QFontMetrics(widget->font()).horizontalAdvance(text) << " px of text in "
                              << widget->width() << " px)";
            } else {
                EXPECT_TRUE(widget->toolTip().contains(text))
                    << cls << ": " << describe(*widget) << " is cut and its tool tip \""
                    << str(widget->toolTip()) << "\" does not hold it";
            }
        }
    }

    // A label that starts empty is a place for messages, not a lamp, unless the layout
    // says it is one: a message written into it can be read.
    void checkStatusLabels(Window& w, pd::qt::WindowView& view) {
        std::set<const Element*> lamps;
        collectLamps(w.layout(), lamps);
        for (auto* e : w.elements()) {
            if (e->kind() != ElementKind::Label || !e->text().empty() || !e->visible() || lamps.count(e))
                continue;
            auto* widget = view.findChild<QLabel*>(QString::fromStdString(e->name()));
            if (!widget) continue;
            const std::string message = "!!! A MESSAGE OF THE WINDOW !!!";
            e->setText(message);
            QApplication::processEvents();
            EXPECT_TRUE(pd::qt::showsWholeText(*widget) ||
                        widget->toolTip().contains(QString::fromStdString(message)))
                << w.className() << ": " << e->name() << " cannot show a message (" << widget->width()
                << " px)";
            e->setText("");
            QApplication::processEvents();
        }
    }

    void checkNothingOverlaps(Window& w, pd::qt::WindowView& view) {
        const auto widgets = shownWidgets(view);
        for (std::size_t i = 0; i < widgets.size(); ++i)
            for (std::size_t j = i + 1; j < widgets.size(); ++j) {
                QWidget* a = widgets[i];
                QWidget* b = widgets[j];
                if (a->isAncestorOf(b) || b->isAncestorOf(a)) continue;
                EXPECT_FALSE(inView(view, *a).intersects(inView(view, *b)))
                    << w.className() << ": " << describe(*a) << " and " << describe(*b) << " overlap";
            }
    }

    void checkDisabledTextIsLegible(Window& w, pd::qt::WindowView& view) {
        for (auto* e : w.elements()) {
            auto* widget = view.findChild<QWidget*>(QString::fromStdString(e->name()));
            if (!widget || widget->window() != &view || !widget->isVisible() || widget->isEnabled()) continue;
            const auto [text, back] = textAndBack(*widget);
            const QPalette& p = widget->palette();
            EXPECT_GE(
                pd::qt::contrastRatio(p.color(QPalette::Disabled, text), p.color(QPalette::Disabled, back)),
                4.5)
                << w.className() << ": disabled " << e->name() << " is hard to read";
        }
    }
};

TEST_F(EveryWindow, EachWindowShowsAllItsElementsAtItsDefaultSize) {
    auto& main = h.start();
    walkEveryWindow(
        h.app, main, [this](Window& opener, const char* button) -> Window& { return open(opener, button); },
        [this](Window& w) { checkUsable(w); });

    EXPECT_EQ(seen.size(), catalogue::geometries().size());
}

}  // namespace
}  // namespace pd::test
