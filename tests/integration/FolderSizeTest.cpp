#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/posix/FolderSize.hpp"

namespace pd {
namespace {

namespace fs = std::filesystem;

struct TempFolder {
    TempFolder() {
        char name[] = "/tmp/pacedeck-size-XXXXXX";
        path = ::mkdtemp(name);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::permissions(path + "/chain/locked", fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path, ignored);
    }
    std::string path;
};

TEST(FolderSize, SumsFileSizesBelowAFolderWithoutFollowingLinks) {
    TempFolder temp;
    const auto root = temp.path + "/chain";
    fs::create_directories(root + "/blocks/index");
    fs::create_directories(root + "/empty");
    std::ofstream(root + "/blocks/blk00000.dat") << std::string(100000, 'b');
    std::ofstream(root + "/blocks/index/000001.ldb") << std::string(1234, 'i');
    std::ofstream(root + "/debug.log") << "x";
    std::ofstream(temp.path + "/outside.dat") << std::string(5000000, 'o');
    fs::create_symlink(temp.path + "/outside.dat", root + "/link.dat");
    fs::create_directory_symlink(temp.path, root + "/loop");
    EXPECT_EQ(sumFileSizes(root), 100000u + 1234u + 1u);
    EXPECT_EQ(sumFileSizes(root + "/empty"), 0u);
    EXPECT_EQ(sumFileSizes(temp.path + "/missing"), std::nullopt);
    EXPECT_EQ(sumFileSizes(root + "/debug.log"), std::nullopt);  // a file is not a folder
}

TEST(FolderSize, AnUnreadableFolderBelowGivesNoSumRatherThanASmallerOne) {
    TempFolder temp;
    fs::create_directories(temp.path + "/chain/locked");
    std::ofstream(temp.path + "/chain/locked/a.dat") << "abc";
    std::ofstream(temp.path + "/chain/b.dat") << "de";
    fs::permissions(temp.path, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(temp.path + "/chain",
                    fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(temp.path + "/chain/locked", fs::perms::none);
    // Permissions do not bind root: measure as an ordinary user then.
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
        ::_exit(sumFileSizes(temp.path + "/chain") == std::nullopt ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace pd
