#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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

// The walk spreads folders over several walkers and walks a folder itself when too many
// wait: each shape below takes another mix of both, and the sum must come out exact.
TEST(FolderSize, TreesOfEveryShapeSumExactly) {
    struct Shape {
        const char* what;
        int breadth;  // folders per level
        int depth;    // levels below the root
        int files;    // files per folder
    };
    const Shape shapes[] = {
        {"flat, many files", 1, 0, 3000},
        {"wide: more folders than may wait open", 1200, 1, 2},
        {"deep chain", 1, 60, 1},
        {"bushy", 6, 4, 3},
    };
    for (const auto& shape : shapes) {
        TempFolder temp;
        std::uint64_t expected = 0;
        std::size_t made = 0;
        std::vector<std::string> level{temp.path};
        for (int d = 0; d <= shape.depth; ++d) {
            std::vector<std::string> below;
            for (const auto& folder : level) {
                for (int f = 0; f < shape.files; ++f) {
                    const auto size = (made++ * 7919) % 3000;
                    std::ofstream(folder + "/f" + std::to_string(f)) << std::string(size, 'x');
                    expected += size;
                }
                if (d < shape.depth)
                    for (int b = 0; b < shape.breadth; ++b) {
                        below.push_back(folder + "/d" + std::to_string(b));
                        fs::create_directory(below.back());
                    }
            }
            level = std::move(below);
        }
        EXPECT_EQ(sumFileSizes(temp.path), expected) << shape.what;
    }
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
