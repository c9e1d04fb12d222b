#include <gtest/gtest.h>

#include "core/Profile.hpp"

namespace pd {

TEST(Profile, TheBuildsOwnSystemGivesTheDefault) {
#ifdef _WIN32
    EXPECT_EQ(defaultProfile("C:\\Users\\me").name, "windows");
#else
    EXPECT_EQ(defaultProfile("/home/me").name, "posix");
#endif
}

TEST(Profile, ScriptPathsFollowTheConventionsOfEachSystem) {
    EXPECT_EQ(windowsProfile().scriptPath("C:\\SYNCWARD-ROOT\\PACEDECK", "BTC", "-RUN-QT"),
              "C:\\SYNCWARD-ROOT\\PACEDECK\\BATS\\BTC-RUN-QT.bat");
    auto posix = posixProfile("/home/me");
    EXPECT_EQ(posix.defaultHome, "/home/me/SYNCWARD-ROOT/PACEDECK");
    EXPECT_EQ(posix.scriptPath(posix.defaultHome, "BTC", "-RUN-QT"),
              "/home/me/SYNCWARD-ROOT/PACEDECK/BATS/BTC-RUN-QT.sh");
    // An empty home folder still gives the folder layout, beginning with the separator.
    EXPECT_EQ(windowsProfile().subFolder("", "REPORTS"), "\\REPORTS\\");
    EXPECT_EQ(windowsProfile().zeroReading(), "0\r\n");
    EXPECT_EQ(posix.zeroReading(), "0\n");
}

}  // namespace pd
