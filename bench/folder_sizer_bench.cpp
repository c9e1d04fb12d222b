// Wall time of the folder sizer against `du -sb` on the same tree in the same run:
// 200,000 small files in 2,000 folders under /tmp. Median of several runs each; the sum is
// checked against `find -type f -printf '%s\n'`.
//
// Usage: folder_sizer_bench [--runs N] [--keep] [TREE]   (default TREE: /tmp/pacedeck-bench-tree)
// Last line: folder_sizer_vs_du: RATIO   (sizer median / du median; lower is better)
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/posix/FolderSize.hpp"

extern char** environ;

namespace {

constexpr int topFolders = 40;
constexpr int subFolders = 50;  // 40 x 50 = 2,000 folders
constexpr int filesPerFolder = 100;

bool makeTree(const std::string& root) {
    const std::string marker = root + "/.complete";
    if (::access(marker.c_str(), F_OK) == 0) return true;
    std::printf("creating %d files under %s ...\n", topFolders * subFolders * filesPerFolder, root.c_str());
    ::mkdir(root.c_str(), 0755);
    std::vector<char> bytes(2048, 'x');
    std::uint32_t seed = 12345;
    for (int t = 0; t < topFolders; ++t) {
        const std::string top = root + "/d" + std::to_string(t);
        ::mkdir(top.c_str(), 0755);
        for (int s = 0; s < subFolders; ++s) {
            const std::string sub = top + "/s" + std::to_string(s);
            ::mkdir(sub.c_str(), 0755);
            for (int f = 0; f < filesPerFolder; ++f) {
                seed = seed * 1103515245u + 12345u;
                const std::size_t size = (seed >> 8) % bytes.size();
                const std::string file = sub + "/f" + std::to_string(f) + ".dat";
                const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
                if (fd < 0) return false;
                const bool written = ::write(fd, bytes.data(), size) == static_cast<ssize_t>(size);
                ::close(fd);
                if (!written) return false;
            }
        }
    }
    const int fd = ::open(marker.c_str(), O_WRONLY | O_CREAT, 0644);
    if (fd >= 0) ::close(fd);
    return true;
}

struct Cost {
    double wall = 0;  // milliseconds
    double cpu = 0;   // milliseconds of processor time, user and system
};

double cpuMillis(const rusage& r) {
    return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1e3 +
           static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e3;
}

// Runs a program with its output to /dev/null and returns what it cost.
Cost runQuietly(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot run %s\n", argv[0]);
        std::exit(2);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    return {std::chrono::duration<double, std::milli>(end - start).count(), cpuMillis(usage)};
}

std::uint64_t findSum(const std::string& root) {
    const std::string command = "find '" + root + "' -type f -printf '%s\\n'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return 0;
    std::uint64_t total = 0;
    char line[64];
    while (std::fgets(line, sizeof line, pipe)) total += std::strtoull(line, nullptr, 10);
    ::pclose(pipe);
    return total;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    std::string root = "/tmp/pacedeck-bench-tree";
    int runs = 7;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--keep")
            keep = true;
        else
            root = arg;
    }
    if (!makeTree(root)) {
        std::fprintf(stderr, "cannot create the tree under %s\n", root.c_str());
        return 2;
    }

    const auto expected = findSum(root);
    const auto measured = pd::sumFileSizes(root);
    if (!measured || *measured != expected) {
        std::printf("sum check: MISMATCH (sizer %llu, find %llu)\n",
                    static_cast<unsigned long long>(measured.value_or(0)),
                    static_cast<unsigned long long>(expected));
        return 1;
    }
    std::printf("sum check: OK, %llu bytes\n", static_cast<unsigned long long>(expected));

    runQuietly({"du", "-sb", root});  // both warm
    std::vector<double> sizer;
    std::vector<double> sizerCpu;
    std::vector<double> du;
    std::vector<double> duCpu;
    for (int r = 0; r < runs; ++r) {
        rusage before{};
        ::getrusage(RUSAGE_SELF, &before);
        const auto start = std::chrono::steady_clock::now();
        const auto bytes = pd::sumFileSizes(root);
        const auto end = std::chrono::steady_clock::now();
        rusage after{};
        ::getrusage(RUSAGE_SELF, &after);
        if (bytes != expected) return 1;
        sizer.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        sizerCpu.push_back(cpuMillis(after) - cpuMillis(before));
        const auto cost = runQuietly({"du", "-sb", root});
        du.push_back(cost.wall);
        duCpu.push_back(cost.cpu);
    }
    const double s = median(sizer);
    const double d = median(du);
    std::printf("folder sizer: median %.1f ms wall, %.1f ms processor, of %d runs\n", s, median(sizerCpu),
                runs);
    std::printf("du -sb:       median %.1f ms wall, %.1f ms processor, of %d runs\n", d, median(duCpu), runs);
    std::printf("processor-time ratio: %.2f\n", median(sizerCpu) / median(duCpu));
    if (!keep) runQuietly({"rm", "-rf", root});
    std::printf("folder_sizer_vs_du: %.2f\n", s / d);
    return 0;
}
