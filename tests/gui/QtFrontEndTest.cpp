#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <cmath>

#include "gui/GuiHarness.hpp"

namespace pd::test {
namespace {

QColor rgb(int r, int g, int b) {
    return QColor(r, g, b);
}

// Clicks as the window system delivers it, so that modal blocking applies.
void systemClick(QWidget& target) {
    QWidget* top = target.window();
    const QPoint at = target.mapTo(top, target.rect().center());
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {}, at);
}

// A small window of our own, opened from the main window: a button and a fast timer.
class ProbeWindow final : public Window {
  public:
    explicit ProbeWindow(App& app) : Window(app, "PACEDECK_PROBE", "PROBE") {
        PROBE_TIMER.onTick = [this] { ++ticks; };
        PROBE_BUTTON.onClick = [this] { ++clicks; };
    }
    LayoutNode layout() override { return column({PROBE_BUTTON}); }

    Button PROBE_BUTTON{*this, "PROBE_BUTTON", {.text = "Probe"}};
    Timer PROBE_TIMER{*this, "PROBE_TIMER"};
    int ticks = 0;
    int clicks = 0;
    bool unloaded = false;

  protected:
    void load() override {
        PROBE_TIMER.setInterval(10);
        PROBE_TIMER.start();
    }
    void unload() override { unloaded = true; }
};

TEST(QtFrontEnd, MainWindowRendersItsLayoutAtTheDefaultSize) {
    GuiHarness h;
    auto& w = h.start();
    auto& view = h.view(w);
    QApplication::processEvents();

    EXPECT_TRUE(view.isVisible());
    EXPECT_EQ(view.windowTitle(), "PACEDECK - GUI");
    const double tpp = view.twipsPerPixel();
    EXPECT_EQ(view.width(), std::lround(15825 / tpp));
    EXPECT_EQ(view.height(), std::lround(6750 / tpp));
    EXPECT_EQ(view.pos(), QPoint(std::lround(1000 / tpp), std::lround(1000 / tpp)));

    EXPECT_EQ(h.widget<QLabel>(w, "CURRENT_STATUS_LABEL").text(), "READY...");
    EXPECT_EQ(h.widget<QLabel>(w, "APP_EXE_NAME_LABEL").text(), "GUI");
    EXPECT_EQ(h.widget<QPushButton>(w, "AUTOSTART_START_BUTTON").text(), "START");
    EXPECT_TRUE(h.widget<QCheckBox>(w, "ALWAYS_ON_TOP_TICKBOX").isChecked());
    EXPECT_FALSE(h.widget<QPushButton>(w, "AUTOCLOSE_START_BUTTON").isEnabled());
    EXPECT_TRUE(h.widget<QLineEdit>(w, "CURRENT_BLOCK_TEXTBOX").isReadOnly());
    EXPECT_FALSE(h.widget<QLineEdit>(w, "USER_COUNT_TIME_TEXTBOX").isReadOnly());
    EXPECT_EQ(h.widget<QLineEdit>(w, "USER_COUNT_TIME_TEXTBOX").text(), "00:05:00");
    EXPECT_EQ(h.widget<QPlainTextEdit>(w, "BC_FOLDER_SIZE_BEFORE").toPlainText(), "!!! STILL TO RUN !!!");
    EXPECT_EQ(h.widget<QPushButton>(w, "TERMINATOR_BUTTON").toolTip(), "!!! PROCESS TERMINATOR !!!");

    // Every element in the layout is on screen, and nothing else is.
    for (auto* e : w.elements()) {
        auto* widget = view.findChild<QWidget*>(QString::fromStdString(e->name()));
        if (e->visible() && widget) {
            EXPECT_TRUE(widget->isVisible()) << e->name();
        }
    }
    EXPECT_EQ(view.findChild<QWidget*>("LOG_TOP_MESSAGE_TEXTBOX"), nullptr);
    EXPECT_EQ(view.findChild<QWidget*>("SW_QT_COMMAND_TEXTBOX"), nullptr);
    for (int n = 1; n <= 19; ++n)
        EXPECT_NE(view.findChild<QWidget*>(QString("TASK_%1_LIGHT").arg(n)), nullptr) << n;
}

TEST(QtFrontEnd, UserActionsReachTheirHandlers) {
    GuiHarness h;
    auto& w = h.start();

    QTest::mouseClick(&h.widget<QPushButton>(w, "AUTOSTART_START_BUTTON"), Qt::LeftButton);
    EXPECT_EQ(w.AUTOSTART_START_BUTTON.text(), "STOP");
    EXPECT_TRUE(w.AUTOSTART_TIMER.enabled());
    EXPECT_EQ(h.widget<QPushButton>(w, "AUTOSTART_START_BUTTON").text(), "STOP");

    // A tick click runs the tick rule once, which writes its key at once.
    auto& onTop = h.widget<QCheckBox>(w, "ALWAYS_ON_TOP_TICKBOX");
    QTest::mouseClick(&onTop, Qt::LeftButton, {}, QPoint(8, onTop.height() / 2));
    EXPECT_FALSE(w.ALWAYS_ON_TOP_TICKBOX.ticked());
    EXPECT_FALSE(onTop.isChecked());
    EXPECT_FALSE(w.AlwaysOnTopTimer.enabled());
    EXPECT_EQ(h.stored("ALWAYS_ON_TOP_TICKBOX"), "0");

    // Typing reaches the element; text set by code does not count as typing.
    int changes = 0;
    w.USER_COUNT_TIME_TEXTBOX.onChange = [&] { ++changes; };
    auto& interval = h.widget<QLineEdit>(w, "USER_COUNT_TIME_TEXTBOX");
    interval.selectAll();
    QTest::keyClicks(&interval, "00:01:00");
    EXPECT_EQ(w.USER_COUNT_TIME_TEXTBOX.text(), "00:01:00");
    EXPECT_EQ(changes, 8);
    w.USER_COUNT_TIME_TEXTBOX.setText("00:02:00");
    EXPECT_EQ(interval.text(), "00:02:00");
    EXPECT_EQ(changes, 9);  // the one change by code, not echoed back as typing

    // Double-click on a text box resets the autostart count.
    w.AUTOSTART_TIMER_TEXTBOX.setText("05");
    QTest::mouseDClick(&h.widget<QLineEdit>(w, "AUTOSTART_TIMER_TEXTBOX"), Qt::LeftButton);
    EXPECT_EQ(w.AUTOSTART_TIMER_TEXTBOX.text(), "11");
    EXPECT_EQ(h.widget<QLineEdit>(w, "AUTOSTART_TIMER_TEXTBOX").text(), "11");
}

TEST(QtFrontEnd, ElementChangesReachTheWidgets) {
    GuiHarness h;
    auto& w = h.start();
    const QPalette system = QApplication::palette(&h.widget<QLineEdit>(w, "TASK_1_LIGHT"));

    auto& light = h.widget<QLineEdit>(w, "TASK_1_LIGHT");
    EXPECT_EQ(light.palette().color(QPalette::Base), rgb(0, 0, 0));
    w.TASK_1_LIGHT.setBack(colour::green);
    EXPECT_EQ(light.palette().color(QPalette::Base), rgb(0, 255, 0));
    w.TASK_1_LIGHT.setBack(colour::cyan);  // 0x00BBGGRR: blue and green
    EXPECT_EQ(light.palette().color(QPalette::Base), rgb(0, 255, 255));
    w.TASK_1_LIGHT.setBack(colour::windowBackground);
    EXPECT_EQ(light.palette().color(QPalette::Base), system.color(QPalette::Base));

    auto& status = h.widget<QLabel>(w, "CURRENT_STATUS_LABEL");
    EXPECT_EQ(status.palette().color(QPalette::WindowText), rgb(0, 255, 0));
    EXPECT_EQ(status.palette().color(QPalette::Window), rgb(0, 0, 0));
    EXPECT_TRUE(status.autoFillBackground());
    w.status("!!! AUTOSTARTING !!!");
    EXPECT_EQ(status.text(), "!!! AUTOSTARTING !!!");

    auto& stamp = h.widget<QLineEdit>(w, "MULTILOADER_LAST_RUN_TEXTBOX");
    w.MULTILOADER_LAST_RUN_TEXTBOX.setColours(colour::black, colour::green);
    EXPECT_EQ(stamp.palette().color(QPalette::Text), rgb(0, 0, 0));
    EXPECT_EQ(stamp.palette().color(QPalette::Base), rgb(0, 255, 0));

    auto& button = h.widget<QPushButton>(w, "END_LOG_BUTTON");
    w.END_LOG_BUTTON.setEnabled(true);
    EXPECT_TRUE(button.isEnabled());
    w.END_LOG_BUTTON.setVisible(false);
    EXPECT_TRUE(button.isHidden());
    w.END_LOG_BUTTON.setToolTip("report");
    EXPECT_EQ(button.toolTip(), "report");

    auto& tick = h.widget<QCheckBox>(w, "AUTOSTART_TICKBOX");
    w.AUTOSTART_TICKBOX.setTicked(true);
    EXPECT_TRUE(tick.isChecked());

    auto& report = h.widget<QPlainTextEdit>(w, "LOG_FILE_OUTPUT_TEXTBOX");
    w.LOG_FILE_OUTPUT_TEXTBOX.setText("line one\nline two\n");
    EXPECT_EQ(report.toPlainText(), "line one\nline two\n");
    EXPECT_TRUE(report.isReadOnly());
}

TEST(QtFrontEnd, ModalChildBlocksItsOwnerButNotTheTimers) {
    GuiHarness h;
    auto& w = h.start();
    auto& runButton = h.widget<QPushButton>(w, "AUTOSTART_START_BUTTON");
    QApplication::processEvents();

    systemClick(runButton);
    ASSERT_EQ(w.AUTOSTART_START_BUTTON.text(), "STOP")
        << "a click through the window system reaches the owner";

    auto& probe = h.app.open<ProbeWindow>(&w, true);  // returns at once: nothing waits for the window
    auto& probeView = h.view(probe);
    EXPECT_EQ(probeView.windowModality(), Qt::WindowModal);
    EXPECT_EQ(probeView.parentWidget(), &h.view(w));
    QApplication::processEvents();

    systemClick(runButton);
    EXPECT_EQ(w.AUTOSTART_START_BUTTON.text(), "STOP")
        << "the owner must not take input while the child is open";
    systemClick(h.widget<QPushButton>(probe, "PROBE_BUTTON"));
    EXPECT_EQ(probe.clicks, 1);

    // Timers of both windows keep running while the modal child is open.
    const int mainSeconds = w.AUTOSTART_TIME_LEFT.seconds();
    EXPECT_TRUE(QTest::qWaitFor([&] { return probe.ticks >= 3; }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.AUTOSTART_TIME_LEFT.seconds() < mainSeconds; }, 10000));

    // Its close box closes it as code would; the owner takes input again.
    probeView.close();
    EXPECT_TRUE(probe.unloaded);
    EXPECT_FALSE(probe.isOpen());
    QApplication::processEvents();
    EXPECT_EQ(h.frontEnd.viewOf(probe), nullptr);
    systemClick(runButton);
    EXPECT_EQ(w.AUTOSTART_START_BUTTON.text(), "START");
}

TEST(QtFrontEnd, CloseBoxSavesWhatClosingSavesAndTheUsersMove) {
    GuiHarness h;
    auto& w = h.start();
    auto& view = h.view(w);
    QApplication::processEvents();
    const double tpp = view.twipsPerPixel();

    view.move(300, 200);
    QApplication::processEvents();
    EXPECT_DOUBLE_EQ(w.geometry().left, 300 * tpp);
    EXPECT_DOUBLE_EQ(w.geometry().top, 200 * tpp);

    view.close();
    EXPECT_FALSE(w.isOpen());
    EXPECT_TRUE(h.quitAsked);
    EXPECT_EQ(h.stored("MAIN-Left"), positionText(300 * tpp));
    EXPECT_EQ(h.stored("MAIN-Top"), positionText(200 * tpp));
    EXPECT_EQ(h.stored("USER_COUNT_TIME_TEXTBOX"), "00:05:00");
    EXPECT_EQ(h.stored("MULTILOADER_LAST_RUN_TEXTBOX"), "<unset>");  // the close box stamps nothing
    QApplication::processEvents();
    EXPECT_EQ(h.frontEnd.viewOf(w), nullptr);
}

TEST(QtFrontEnd, UnmovedWindowKeepsItsStoredTwips) {
    GuiHarness h;
    h.store.write("GUI", "MAIN-Left", "1234");
    auto& w = h.start();
    QApplication::processEvents();
    QTest::mouseClick(&h.widget<QPushButton>(w, "EXIT_BUTTON"), Qt::LeftButton);
    EXPECT_TRUE(h.quitAsked);
    // Placing the window in whole pixels must not turn 1234 twips into a rounded value.
    EXPECT_EQ(h.stored("MAIN-Left"), "1234");
    EXPECT_EQ(h.stored("MULTILOADER_LAST_RUN_TEXTBOX"), "!!! MANUAL EXIT !!!");
    QApplication::processEvents();  // the closed window goes away between events
    EXPECT_TRUE(h.app.openWindows().empty());
}

TEST(QtFrontEnd, KeepOnTopSetsTheHintOnce) {
    GuiHarness h;
    auto& w = h.start();
    auto& view = h.view(w);
    h.frontEnd.keepOnTop(w);
    EXPECT_TRUE(view.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(view.isVisible());
    h.frontEnd.keepOnTop(w);
    EXPECT_TRUE(view.isVisible());
}

TEST(QtFrontEnd, FileFilterInQtForm) {
    EXPECT_EQ(pd::qt::qtFileFilter("CONF Files (*.conf)|*.conf|All files (*.*)|*.*"),
              "CONF Files (*.conf);;All files (*)");
    EXPECT_EQ(pd::qt::qtFileFilter("Logs|*.log;*.txt"), "Logs (*.log *.txt)");
}

TEST(QtFrontEnd, ScreenshotOfTheMainWindow) {
    GuiHarness h;
    auto& w = h.start();
    w.TASK_1_LIGHT.setBack(colour::green);
    w.PROCESS_TEXTBOX_1.setBack(colour::red);
    auto& view = h.view(w);
    QApplication::processEvents();
    const QImage shot = view.grab().toImage();
    const QString path = QStringLiteral(PACEDECK_GUI_ARTEFACT_DIR "/main-window.png");
    ASSERT_TRUE(shot.save(path)) << path.toStdString();
    EXPECT_EQ(shot.size(), view.size() * view.devicePixelRatio());
    auto& light = h.widget<QLineEdit>(w, "TASK_1_LIGHT");
    const QPoint inLight = light.mapTo(&view, light.rect().center());
    EXPECT_EQ(shot.pixelColor(inLight), rgb(0, 255, 0));
}

}  // namespace
}  // namespace pd::test
