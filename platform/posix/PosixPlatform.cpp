#include "platform/posix/PosixPlatform.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstring>
#include <ctime>
#include <thread>

#include "core/ShellQuote.hpp"
#include "platform/posix/ChildExec.hpp"
#include "platform/posix/FolderSize.hpp"
#include "platform/posix/ProcessTable.hpp"

namespace pd {

namespace {
std::string errorText(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// The program a command line starts, when its first word plainly names one (no quoting,
// expansion or other shell syntax that only the shell can read).
std::optional<std::string> leadingProgram(const std::string& commandLine) {
    const auto start = commandLine.find_first_not_of(" \t");
    if (start == std::string::npos) return std::nullopt;
    const auto end = commandLine.find_first_of(" \t\n", start);
    std::string word = commandLine.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (word.find_first_of("|&;<>()$`\\\"'*?[]#~=%{}!") != std::string::npos) return std::nullopt;
    return word;
}

std::string folderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}
}  // namespace

PosixPlatform::~PosixPlatform() = default;

Outcome spawnDetached(const std::vector<std::string>& argv, int outputFd) {
    // Two forks: the grandchild runs in a session of its own and is adopted by init, so
    // the started program outlives us and never becomes our zombie.
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return Outcome::failure(errorText("pipe"));
    pid_t child = ::fork();
    if (child < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return Outcome::failure(errorText("fork"));
    }
    if (child == 0) {
        ::close(pipeFds[0]);
        ::setsid();
        pid_t grandchild = ::fork();
        if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
        execQuietly(argv, pipeFds[1], outputFd);
    }
    ::close(pipeFds[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int err = 0;
    auto n = ::read(pipeFds[0], &err, sizeof err);
    ::close(pipeFds[0]);
    if (n == sizeof err) return Outcome::failure("cannot start " + argv[0] + ": " + std::strerror(err));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return Outcome::failure("cannot start " + argv[0]);
    return Outcome::success();
}

std::unique_ptr<ProcessTable> PosixPlatform::processes() {
    auto list = scanner_.scan();
    if (!list) return nullptr;
    return std::make_unique<ProcTable>(std::move(list));
}

int PosixPlatform::terminateByName(std::string_view name) {
    auto list = ProcTable::read();
    if (!list) return 0;
    ProcTable table(std::move(*list));
    int count = 0;
    for (int pid : table.pidsOf(name))
        if (pid != ::getpid() && ::kill(pid, SIGKILL) == 0) ++count;
    return count;
}

namespace {
Outcome startScript(const std::string& path, int outputFd) {
    if (::access(path.c_str(), R_OK) != 0) return Outcome::failure(errorText("cannot run " + path));
    return spawnDetached({"/bin/sh", path}, outputFd);
}
}  // namespace

Outcome PosixPlatform::runScript(const std::string& path, WindowStyle) {
    return startScript(path, -1);
}

Outcome PosixPlatform::runScriptKeepingOutput(const std::string& path, WindowStyle,
                                              const std::string& outputFile) {
    // Appending: a program that cuts the file (trimFile) leaves the script writing at its end.
    const int output = ::open(outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    auto started = startScript(path, output);
    if (output >= 0) ::close(output);
    return started;
}

Outcome PosixPlatform::runCommand(const std::string& commandLine, WindowStyle) {
    // The shell itself always starts; a program it cannot find would fail only in the
    // shell's exit status, which nobody waits for. So the shell is asked first whether it
    // knows the program, and a missing one (say, no xdg-open) fails here, to be told.
    if (auto program = leadingProgram(commandLine)) {
        const auto found = runAndWait("command -v " + shQuoted(*program) + " >/dev/null 2>&1");
        if (found.started && !found.ok()) return Outcome::failure("cannot start " + *program + ": not found");
    }
    return spawnDetached({"/bin/sh", "-c", commandLine});
}

namespace {
// A shell command whose output is collected until the shell itself has ended: a program it
// left running in the background keeps the pipe open but must not keep us waiting. A
// command that hangs is killed after a generous bound so that nothing waits for good.
class ShellCommand final : public RunningCommand {
  public:
    explicit ShellCommand(const std::string& commandLine) {
        int pipeFds[2];
        if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
            result_ = CommandResult{false, -1, errorText("pipe")};
            return;
        }
        child_ = ::fork();
        if (child_ < 0) {
            ::close(pipeFds[0]);
            ::close(pipeFds[1]);
            result_ = CommandResult{false, -1, errorText("fork")};
            return;
        }
        if (child_ == 0) {
            ::setpgid(0, 0);
            int devnull = ::open("/dev/null", O_RDONLY);
            if (devnull >= 0) ::dup2(devnull, 0);
            ::dup2(pipeFds[1], 1);
            ::dup2(pipeFds[1], 2);
            ::signal(SIGPIPE, SIG_DFL);
            ::execl("/bin/sh", "sh", "-c", commandLine.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        ::setpgid(child_, child_);  // also here, so that a cancel right away reaches the whole group
        ::close(pipeFds[1]);
        fd_ = pipeFds[0];
        ::fcntl(fd_, F_SETFL, O_NONBLOCK);
        deadline_ = std::chrono::steady_clock::now() + bound;
    }
    ~ShellCommand() override {
        // Closing its window does not cut a crontab change short; the bound still holds.
        while (!poll()) ::poll(nullptr, 0, 20);
    }
    ShellCommand(const ShellCommand&) = delete;
    ShellCommand& operator=(const ShellCommand&) = delete;

    std::optional<CommandResult> poll() override {
        if (result_) return result_;
        drain();
        int status = 0;
        pid_t r = ::waitpid(child_, &status, WNOHANG);
        if (r == 0 && std::chrono::steady_clock::now() > deadline_) {
            ::kill(-child_, SIGKILL);
            ::kill(child_, SIGKILL);
            while ((r = ::waitpid(child_, &status, 0)) < 0 && errno == EINTR) {
            }
            output_ += "\n(stopped after " + std::to_string(bound.count()) + " seconds)";
        }
        if (r == 0 || (r < 0 && errno == EINTR)) return std::nullopt;
        drain();
        ::close(fd_);
        fd_ = -1;
        int exitStatus = -1;
        if (r == child_ && WIFEXITED(status)) exitStatus = WEXITSTATUS(status);
        if (r == child_ && WIFSIGNALED(status)) exitStatus = 128 + WTERMSIG(status);
        result_ = CommandResult{true, exitStatus, std::move(output_)};
        return result_;
    }

    void cancel() override {
        if (result_) return;
        ::kill(-child_, SIGKILL);
        ::kill(child_, SIGKILL);
        ::close(fd_);
        fd_ = -1;
        // A killed process is gone in a moment, though not always at once (a disk that
        // hangs): it is reaped where that moment holds nobody up.
        int status = 0;
        if (::waitpid(child_, &status, WNOHANG) == 0)
            std::thread([pid = child_] {
                int s = 0;
                while (::waitpid(pid, &s, 0) < 0 && errno == EINTR) {
                }
            }).detach();
        result_ = CommandResult{true, -1, "(cancelled)"};
    }

  private:
    static constexpr auto bound = std::chrono::seconds(60);
    void drain() {
        char buf[4096];
        while (fd_ >= 0 && open_) {
            auto n = ::read(fd_, buf, sizeof buf);
            if (n > 0)
                output_.append(buf, static_cast<std::size_t>(n));
            else {
                open_ = n != 0;  // end of output
                return;
            }
        }
    }

    pid_t child_ = -1;
    int fd_ = -1;
    bool open_ = true;
    std::string output_;
    std::chrono::steady_clock::time_point deadline_;
    std::optional<CommandResult> result_;
};
}  // namespace

std::unique_ptr<RunningCommand> PosixPlatform::startCommand(const std::string& commandLine) {
    return std::make_unique<ShellCommand>(commandLine);
}

CommandResult PosixPlatform::runAndWait(const std::string& commandLine) {
    ShellCommand command(commandLine);
    for (;;) {
        if (auto result = command.poll()) return *result;
        ::poll(nullptr, 0, 20);
    }
}

std::optional<std::string> PosixPlatform::readFile(const std::string& path) {
    return readFileHead(path, std::string().max_size());
}

std::optional<std::string> PosixPlatform::readFileHead(const std::string& path, std::size_t maxBytes) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string out;
    char buf[65536];
    while (out.size() < maxBytes) {
        auto n = ::read(fd, buf, std::min(sizeof buf, maxBytes - out.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return out;
}

namespace {
// Writes all the bytes, going on after an interrupted write; false leaves errno set.
bool writeAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        auto n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}
}  // namespace

Outcome PosixPlatform::appendFile(const std::string& path, std::string_view bytes) {
    // A log line at a time: a crash loses at most the line being written, never what came
    // before, so appending in place is safe where replacing would copy the whole file.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return Outcome::failure(errorText("cannot append to " + path));
    if (!writeAll(fd, bytes)) {
        auto why = errorText("cannot append to " + path);
        ::close(fd);
        return Outcome::failure(why);
    }
    ::close(fd);
    return Outcome::success();
}

Outcome PosixPlatform::writeFile(const std::string& path, std::string_view bytes, bool executable,
                                 bool privateToUser) {
    // Written beside the target and renamed over it, so a full disk or a crash leaves the
    // old file whole instead of a truncated one.
    auto folder = folderOf(path);
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return Outcome::failure("the folder " + folder + " does not exist");
    std::string temp = path + ".pacedeck-new";
    mode_t mode = executable ? 0700 : (privateToUser ? 0600 : 0644);
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) return Outcome::failure(errorText("cannot write " + path));
    if (!writeAll(fd, bytes) || ::fchmod(fd, mode) != 0 || ::fsync(fd) != 0) {
        auto why = errorText("cannot write " + path);
        ::close(fd);
        ::unlink(temp.c_str());
        return Outcome::failure(why);
    }
    ::close(fd);
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        auto why = errorText("cannot write " + path);
        ::unlink(temp.c_str());
        return Outcome::failure(why);
    }
    return Outcome::success();
}

Outcome PosixPlatform::replaceFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) return Outcome::failure(errorText("cannot write " + to));
    // The rename itself is made durable, so a power cut cannot bring the old file back.
    int folder = ::open(folderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return Outcome::success();
}

Outcome PosixPlatform::trimFile(const std::string& path, std::uint64_t maxBytes, std::uint64_t keepBytes) {
    // In place, appending: whatever a running program appends meanwhile lands after the kept
    // tail, so nothing it writes is lost.
    const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? Outcome::success() : Outcome::failure(errorText("cannot trim " + path));
    struct stat st {};
    std::string text;
    bool ok = ::fstat(fd, &st) == 0;
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (ok && size > maxBytes) {
        // One byte more than kept: whether the kept part begins at a line start.
        const auto from = size - std::min(size, keepBytes + 1);
        text.resize(size - from);
        ok = ::pread(fd, text.data(), text.size(), static_cast<off_t>(from)) ==
             static_cast<ssize_t>(text.size());
        if (ok) {
            const auto kept = from == 0 ? std::string_view(text) : tailFromLineStart(text, keepBytes);
            ok = ::ftruncate(fd, 0) == 0 && writeAll(fd, kept);
        }
    }
    auto outcome = ok ? Outcome::success() : Outcome::failure(errorText("cannot trim " + path));
    ::close(fd);
    return outcome;
}

Outcome PosixPlatform::removeFile(const std::string& path) {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT) return Outcome::success();
    return Outcome::failure(errorText("cannot remove " + path));
}

Outcome PosixPlatform::createFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) == 0) return Outcome::success();
    if (errno == EEXIST) {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return Outcome::success();
        return Outcome::failure(path + " exists and is not a folder");
    }
    return Outcome::failure(errorText("cannot create the folder " + path));
}

bool PosixPlatform::exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::optional<std::uint64_t> PosixPlatform::folderSize(const std::string& path) {
    return sumFileSizes(path);
}

std::optional<bool> PosixPlatform::lockState(LockKey key) {
    return keyboard_.state(key);
}

Outcome PosixPlatform::pressLockKey(LockKey key) {
    return keyboard_.press(key);
}

Outcome PosixPlatform::inhibitSleep(bool on) {
    if (!on) {
        sleepLock_.release();
        return Outcome::success();
    }
    return sleepLock_.hold();
}

std::string PosixPlatform::environment(std::string_view name) {
    const char* v = std::getenv(std::string(name).c_str());
    return v ? v : "";
}

std::string PosixPlatform::computerName() {
    char buf[256] = {};
    if (::gethostname(buf, sizeof buf - 1) != 0) return {};
    return buf;
}

std::string PosixPlatform::userName() {
    if (const char* u = std::getenv("USER"); u && *u) return u;
    if (auto* pw = ::getpwuid(::getuid())) return pw->pw_name;
    return {};
}

std::string PosixPlatform::executableFolder() {
    char buf[4096] = {};
    auto n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    return folderOf(std::string(buf, static_cast<std::size_t>(n)));
}

namespace {
std::string nowFormatted(const char* format) {
    std::time_t t = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&t, &local);
    char buf[128] = {};
    std::strftime(buf, sizeof buf, format, &local);
    return buf;
}
}  // namespace

std::string PosixPlatform::timeText() {
    return nowFormatted("%X");
}
std::string PosixPlatform::dateText() {
    return nowFormatted("%x");
}

char PosixPlatform::thousandsSeparator() {
    const auto* lc = std::localeconv();
    return (lc && lc->thousands_sep && *lc->thousands_sep) ? *lc->thousands_sep : ',';
}

char PosixPlatform::decimalSeparator() {
    const auto* lc = std::localeconv();
    return (lc && lc->decimal_point && *lc->decimal_point) ? *lc->decimal_point : '.';
}

}  // namespace pd
