#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <cmath>
#include <string>

#include "GuiHarness.hpp"
#include "settings/MainSettingsWindow.hpp"
#include "tools/ManualRunWindow.hpp"
#include "tools/ReportsLogsWindow.hpp"
#include "ui/qt/TextFit.hpp"

namespace pd::test {
namespace {

QStringList captionsIn(const QWidget& parent) {
    QStringList texts;
    for (auto* label : parent.findChildren<QLabel*>())
        if (label->window() == parent.window()) texts << label->text();
    return texts;
}

QGroupBox& groupTitled(QWidget& view, const QString& title) {
    for (auto* box : view.findChildren<QGroupBox*>())
        if (box->title() == title) return *box;
    throw std::runtime_error("no group " + title.toStdString());
}

Window& clickOpen(GuiHarness& h, Window&, Button& button) {
    EXPECT_TRUE(button.click()) << button.name();
    QApplication::processEvents();
    return *h.app.openWindows().back();
}

TEST(WindowsAsUsersExpect, TheMainWindowUsesThePartsOwnCaptionsAndTips) {
    GuiHarness h;
    auto& w = h.start();
    auto& view = h.view(w);
    QApplication::processEvents();

    const QStringList blockcounter = captionsIn(groupTitled(view, "BLOCKCOUNTER"));
    for (const char* caption : {"Current Block Number", "Last Known Block Number", "Run Every: (hh:mm:ss)",
                                "Next Run: (hh:mm:ss)", "BLOCKCOUNTER LAST RUN:"})
        EXPECT_TRUE(blockcounter.contains(caption)) << caption;
    for (const char* shortened : {"Current block", "Last known", "Every", "Next", "Last run:"})
        EXPECT_FALSE(blockcounter.contains(shortened)) << shortened;
    EXPECT_TRUE(captionsIn(groupTitled(view, "MULTILOADER - RUN PIPELINE")).contains("RUN QT / DAEMON"));

    // Each stage's words are its light's tool tip.
    const char* stages[] = {"LOG - DATE / TIME / PC NAME",
                            "START KITT HEARTBEAT",
                            "START RUNTIME-TIMER",
                            "SEND START EMAIL",
                            "LOG BC FOLDER START SIZE",
                            "LOG BLOCK START NUMBER",
                            "RUN QT / DAEMON",
                            "RUN BLOCKCOUNTER",
                            "BLOCKCOUNTER COMPLETED",
                            "LOG BLOCK END NUMBER",
                            "SEND \"CLI STOP\" REQUEST",
                            "QT / DAEMON SHUTDOWN",
                            "LOG BC FOLDER END SIZE",
                            "LOG ENDTIME",
                            "LOG TOTAL RUNTIME",
                            "CREATE FINAL LOG REPORT",
                            "SEND END REPORT EMAIL",
                            "STOP KITT HEATBEAT",
                            "AUTOCLOSE / POWER AUTOTIMER"};
    for (int n = 1; n <= 19; ++n)
        EXPECT_EQ(h.widget<QLineEdit>(w, QString("TASK_%1_LIGHT").arg(n).toLatin1().constData()).toolTip(),
                  stages[n - 1])
            << n;
}

TEST(WindowsAsUsersExpect, AFirstStartShowsItsDefaultsWholeAndNoOutcomeYet) {
    GuiHarness h;
    auto& w = h.start();
    QApplication::processEvents();
    for (const char* name :
         {"AUTOCLOSE_OR_POWER_AUTOTIMER_TEXTBOX", "AUTOTIMER_ACTION_TEXTBOX", "USER_COUNT_TIME_TEXTBOX",
          "CLOSE_REQUEST_COUNTDOWN_TEXTBOX", "HEARTBEAT_COUNTDOWN_DISPLAY_TEXTBOX"}) {
        auto& field = h.widget<QLineEdit>(w, name);
        EXPECT_TRUE(pd::qt::showsWholeText(field)) << name << ": \"" << field.text().toStdString() << "\"";
    }
    // No run has stamped an outcome: neither box is red.
    for (const char* name : {"MULTILOADER_LAST_RUN_TEXTBOX", "BLOCKCOUNTER_LAST_RUN_TEXTBOX"})
        EXPECT_EQ(h.widget<QLineEdit>(w, name).palette().color(QPalette::Base),
                  QApplication::palette().color(QPalette::Base))
            << name;
}

TEST(WindowsAsUsersExpect, AStatusLabelThatStartsEmptyShowsItsMessageWhole) {
    GuiHarness h;
    auto& main = h.start();
    auto& manual = clickOpen(h, main, main.MANUAL_RUN_BUTTON);
    auto& status = h.widget<QLabel>(manual, "MANUAL_RUN_STATUS_LABEL");
    // START before any save: the script is not there, and the label says why.
    ASSERT_TRUE(static_cast<ManualRunWindow&>(manual).QT_START_BUTTON.click());
    QApplication::processEvents();
    const QString message = status.text();
    ASSERT_TRUE(message.startsWith("!!! QT NOT STARTED")) << message.toStdString();
    EXPECT_GT(status.width(), QFontMetrics(status.font()).horizontalAdvance("QT NOT"))
        << "a message label is not a lamp";
    EXPECT_TRUE(pd::qt::showsWholeText(status) || status.toolTip().contains(message));
}

TEST(WindowsAsUsersExpect, EscapeClosesAnOwnedWindowAndEnterPressesItsDefaultButton) {
    GuiHarness h;
    auto& main = h.start();
    auto& mainView = h.view(main);

    auto& box = clickOpen(h, main, main.BOX_INFO_BUTTON);
    QTest::keyClick(&h.view(box), Qt::Key_Escape);
    EXPECT_FALSE(box.isOpen()) << "Escape closes as the close box does";

    // Enter in a field presses the default button: the settings' OK stores and closes.
    auto& settings = clickOpen(h, main, main.SETTINGS_BUTTON);
    ASSERT_EQ(h.view(settings).defaultButton(), &h.widget<QPushButton>(settings, "OK_BUTTON"));
    auto& home = h.widget<QLineEdit>(settings, "PACEDECK_HOME_TEXTBOX");
    home.setFocus();
    QTest::keyClicks(&home, "/home/tester/pd");
    QTest::keyClick(&home, Qt::Key_Return);
    EXPECT_FALSE(settings.isOpen());
    EXPECT_EQ(h.stored("PACEDECK_HOME_TEXTBOX"), "/home/tester/pd");

    // Enter in a box of several lines is a new line there, not the default button.
    auto& settingsAgain = clickOpen(h, main, main.SETTINGS_BUTTON);
    auto& generator =
        clickOpen(h, settingsAgain, static_cast<MainSettingsWindow&>(settingsAgain).CONF_MANAGER_BUTTON);
    ASSERT_EQ(generator.className(), "PACEDECK_CONF_GENERATOR_MAIN");
    auto& lines = h.widget<QPlainTextEdit>(generator, "USER_DEFINED_SETTINGS_TEXTBOX");
    lines.setFocus();
    QTest::keyClicks(&lines, "a=1");
    QTest::keyClick(&lines, Qt::Key_Return);
    QTest::keyClicks(&lines, "b=2");
    EXPECT_TRUE(generator.isOpen());
    EXPECT_EQ(lines.toPlainText(), "a=1\nb=2");
    generator.close();
    settingsAgain.close();
    QApplication::processEvents();

    // The main window is the program: Escape does not end it.
    QTest::keyClick(&mainView, Qt::Key_Escape);
    EXPECT_TRUE(main.isOpen());
    EXPECT_FALSE(h.quitAsked);
}

TEST(WindowsAsUsersExpect, OwnedWindowsStayAboveTheirAlwaysOnTopOwner) {
    GuiHarness h;
    h.store.write("GUI", "PACEDECK_HOME_TEXTBOX", "/home/tester/pd");  // the crypto settings need one
    auto& main = h.start();
    auto& settings = clickOpen(h, main, main.SETTINGS_BUTTON);  // open before the main window goes on top
    h.frontEnd.keepOnTop(main);
    QApplication::processEvents();
    EXPECT_TRUE(h.view(main).windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(h.view(settings).windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(h.view(settings).isVisible());
    auto& crypto = clickOpen(h, settings, static_cast<MainSettingsWindow&>(settings).CRYPTO_SETTINGS_BUTTON);
    EXPECT_TRUE(h.view(crypto).windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(h.view(crypto).isVisible());
}

TEST(WindowsAsUsersExpect, AWindowOpensWhereItWasLeftOrFirstBesideItsOwner) {
    GuiHarness h;
    h.store.write("GUI", "BOX_INFO-Left", "3000");
    h.store.write("GUI", "BOX_INFO-Top", "4500");
    auto& main = h.start();
    auto& mainView = h.view(main);
    QApplication::processEvents();
    const QRect screen = mainView.screen()->availableGeometry();
    const double tpp = mainView.twipsPerPixel();

    auto& box = clickOpen(h, main, main.BOX_INFO_BUTTON);
    EXPECT_EQ(h.view(box).pos(), QPoint(std::lround(3000 / tpp), std::lround(4500 / tpp)));
    box.close();

    // No stored place: beside the main window, clear of it when the screen has room.
    auto& settings = clickOpen(h, main, main.SETTINGS_BUTTON);
    auto& settingsView = h.view(settings);
    const QRect placed = settingsView.frameGeometry();
    EXPECT_TRUE(screen.contains(placed)) << "inside the screen";
    EXPECT_FALSE(placed.intersects(mainView.frameGeometry())) << "the main window's lights stay in sight";
    // That place is the window's own now: closing stores it, the next opening uses it.
    EXPECT_DOUBLE_EQ(settings.geometry().left, placed.x() * tpp);
    settings.close();
    QApplication::processEvents();
    EXPECT_EQ(h.stored("MAIN_SETTINGS-Left"), positionText(placed.x() * tpp));
    auto& again = clickOpen(h, main, main.SETTINGS_BUTTON);
    EXPECT_EQ(h.view(again).pos(), placed.topLeft());
}

TEST(WindowsAsUsersExpect, TheReportKeepsEachOfItsLinesWhole) {
    GuiHarness h;
    auto& main = h.start();
    const std::string separator(61, '=');
    main.LOG_FILE_OUTPUT_TEXTBOX.setText("PACEDECK END REPORT\r\n" + separator + "\r\nMINIMUM RUN TIME:\r\n");
    Window* viewer = &h.app.open<ReportsLogsWindow>(&main);
    QApplication::processEvents();
    for (Window* w : {static_cast<Window*>(&main), viewer}) {
        auto& box = h.widget<QPlainTextEdit>(*w, "LOG_FILE_OUTPUT_TEXTBOX");
        const QTextBlock line = box.document()->findBlockByNumber(1);
        ASSERT_EQ(line.text().toStdString(), separator);
        EXPECT_EQ(line.layout()->lineCount(), 1) << w->className() << ": the separator wraps";
    }
}

}  // namespace
}  // namespace pd::test
