#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>
#include <cstdio>
#include <string>

// One QApplication for every test, on the offscreen platform: no display needed. Its one
// screen is a desktop of 1600 by 1000 pixels at 96 dots per inch, where windows are placed
// as on a user's.
int main(int argc, char** argv) {
    const std::string screens = PACEDECK_GUI_ARTEFACT_DIR "/offscreen-screen.json";
    if (std::FILE* f = std::fopen(screens.c_str(), "w")) {
        std::fputs(R"({"screens": [{"name": "desktop", "x": 0, "y": 0, "width": 1600, "height": 1000,
                       "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})",
                   f);
        std::fclose(f);
    }
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + screens.c_str());
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
