#include "platform/win32/Win32Platform.hpp"

// clang-format off
#include <windows.h>
#include <sddl.h>
// clang-format on

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "core/ShellQuote.hpp"
#include "platform/win32/FolderSize.hpp"
#include "platform/win32/ProcessList.hpp"
#include "platform/win32/WideText.hpp"

namespace pd::win32 {

namespace {
struct Handle {
    HANDLE h = nullptr;
    ~Handle() {
        if (h && h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    }
};

std::string folderOf(const std::string& path) {
    auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::wstring cmdPath() {
    wchar_t buffer[MAX_PATH];
    const UINT n = ::GetSystemDirectoryW(buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return L"cmd.exe";
    return std::wstring(buffer, n) + L"\\cmd.exe";
}

// Starts cmd.exe on the command without a console window of its own; a program the command
// starts shows its own windows as it likes (notepad), the console ones stay hidden.
Outcome startCmd(std::string_view command, WindowStyle style) {
    std::wstring line = cmdLineFor(command);
    const std::wstring program = cmdPath();
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = style == WindowStyle::Hidden ? SW_HIDE : SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE,
                          CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT, nullptr, nullptr, &si, &pi))
        return Outcome::failure(lastError("cannot start cmd.exe for " + std::string(command)));
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return Outcome::success();
}

// Output of a console program is in the console's (OEM) code page.
std::string fromOem(const std::string& bytes) {
    if (bytes.empty()) return {};
    const UINT cp = ::GetOEMCP();
    const int n = ::MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), w.data(), n);
    return utf8(w);
}

int virtualKey(LockKey key) {
    switch (key) {
        case LockKey::Num:
            return VK_NUMLOCK;
        case LockKey::Caps:
            return VK_CAPITAL;
        case LockKey::Scroll:
            return VK_SCROLL;
    }
    return VK_NUMLOCK;
}

std::string formatted(bool time) {
    wchar_t buffer[128] = {};
    const int n = time ? ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, nullptr, nullptr, buffer, 128)
                       : ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buffer,
                                           128, nullptr);
    return n > 1 ? utf8(std::wstring(buffer, static_cast<std::size_t>(n - 1))) : std::string();
}

// The user's separator when it is one ASCII character; a no-break space (French, Russian
// thousands) is written as a plain one.
char separator(LCTYPE type, char fallback) {
    wchar_t buffer[8] = {};
    if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, 8) < 2) return fallback;
    if (buffer[0] > 0 && buffer[0] < 0x80) return static_cast<char>(buffer[0]);
    if (buffer[0] == 0xA0 || buffer[0] == 0x202F) return ' ';
    return fallback;
}
}  // namespace

std::wstring cmdLineFor(std::string_view command) {
    return L"cmd.exe /d /v:off /s /c \"" + wide(command) + L"\"";
}

std::string ownProgramPath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return utf8(std::wstring_view(buffer.data(), n));
        buffer.resize(buffer.size() * 2);
    }
}

Win32Platform::~Win32Platform() {
    if (sleepHeld_) ::SetThreadExecutionState(ES_CONTINUOUS);
}

std::unique_ptr<ProcessTable> Win32Platform::processes() {
    auto list = ProcessList::take();
    if (!list) return nullptr;
    return std::make_unique<ProcessList>(std::move(*list));
}

int Win32Platform::terminateByName(std::string_view name) {
    return terminateAllNamed(name);
}

Outcome Win32Platform::runScript(const std::string& path, WindowStyle style) {
    if (::GetFileAttributesW(longPath(path).c_str()) == INVALID_FILE_ATTRIBUTES)
        return Outcome::failure(lastError("cannot run " + path));
    // The path quoted for cmd's command line: spaces, "&" and all, and a "%" never expanded.
    return startCmd(commandLineProgram(ShellKind::Cmd, path), style);
}

Outcome Win32Platform::runCommand(const std::string& commandLine, WindowStyle style) {
    return startCmd(commandLine, style);
}

namespace {
// As on every system: output is collected until cmd has ended (a program it left running
// keeps the pipe open but must not keep us waiting), and a command that hangs is ended, with
// everything it started, after a generous bound, or at once when it is cancelled.
CommandResult runCmd(const std::string& commandLine, const std::atomic<bool>* cancelled) {
    constexpr auto bound = std::chrono::seconds(60);
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    Handle readEnd, writeEnd, nul;
    if (!::CreatePipe(&readEnd.h, &writeEnd.h, &inherit, 0)) return {false, -1, lastError("pipe")};
    ::SetHandleInformation(readEnd.h, HANDLE_FLAG_INHERIT, 0);
    nul.h = ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                          0, nullptr);
    Handle job{::CreateJobObjectW(nullptr, nullptr)};
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    si.hStdInput = nul.h;
    si.hStdOutput = writeEnd.h;
    si.hStdError = writeEnd.h;
    std::wstring line = cmdLineFor(commandLine);
    const std::wstring program = cmdPath();
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE,
                          CREATE_NO_WINDOW | CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT, nullptr, nullptr,
                          &si, &pi))
        return {false, -1, lastError("cannot start " + commandLine)};
    Handle process{pi.hProcess};
    if (job.h) ::AssignProcessToJobObject(job.h, pi.hProcess);
    ::ResumeThread(pi.hThread);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(writeEnd.h);
    writeEnd.h = nullptr;

    std::string output;
    auto drain = [&] {
        DWORD available = 0;
        while (::PeekNamedPipe(readEnd.h, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
            char buffer[4096];
            DWORD got = 0;
            if (!::ReadFile(readEnd.h, buffer, sizeof buffer, &got, nullptr) || got == 0) return;
            output.append(buffer, got);
        }
    };
    const auto deadline = std::chrono::steady_clock::now() + bound;
    bool stopped = false;
    while (::WaitForSingleObject(process.h, 50) == WAIT_TIMEOUT) {
        drain();
        if (std::chrono::steady_clock::now() > deadline || (cancelled && *cancelled)) {
            if (job.h) ::TerminateJobObject(job.h, 1);
            ::TerminateProcess(process.h, 1);
            ::WaitForSingleObject(process.h, INFINITE);
            stopped = true;
        }
    }
    drain();
    DWORD code = 0;
    ::GetExitCodeProcess(process.h, &code);
    output = fromOem(output);
    if (stopped) output += "\n(stopped after " + std::to_string(bound.count()) + " seconds)";
    return {true, static_cast<int>(code), output};
}

// The loop must not wait for a command: it runs on a thread of its own and is polled. Like
// the POSIX command, one still running when it is dropped is waited for (within its bound),
// unless it was cancelled.
class BackgroundCommand final : public RunningCommand {
  public:
    explicit BackgroundCommand(const std::string& commandLine) {
        std::promise<CommandResult> promise;
        running_ = promise.get_future();
        std::thread([commandLine, cancelled = cancelled_, promise = std::move(promise)]() mutable {
            promise.set_value(runCmd(commandLine, cancelled.get()));
        }).detach();
    }
    ~BackgroundCommand() override {
        if (!*cancelled_ && running_.valid()) running_.wait();
    }
    BackgroundCommand(const BackgroundCommand&) = delete;
    BackgroundCommand& operator=(const BackgroundCommand&) = delete;

    std::optional<CommandResult> poll() override {
        if (!result_ && running_.valid() &&
            running_.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
            result_ = running_.get();
        return result_;
    }
    void cancel() override {
        // The thread ends the job on its next look; nobody waits for that.
        *cancelled_ = true;
        if (!result_) result_ = CommandResult{true, -1, "(cancelled)"};
    }

  private:
    std::shared_ptr<std::atomic<bool>> cancelled_ = std::make_shared<std::atomic<bool>>(false);
    std::future<CommandResult> running_;
    std::optional<CommandResult> result_;
};
}  // namespace

std::unique_ptr<RunningCommand> Win32Platform::startCommand(const std::string& commandLine) {
    return std::make_unique<BackgroundCommand>(commandLine);
}

CommandResult Win32Platform::runAndWait(const std::string& commandLine) {
    return runCmd(commandLine, nullptr);
}

std::optional<std::string> Win32Platform::readFile(const std::string& path) {
    Handle file{::CreateFileW(longPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string out;
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.h, buffer, sizeof buffer, &got, nullptr)) return std::nullopt;
        if (got == 0) return out;
        out.append(buffer, got);
    }
}

Outcome Win32Platform::writeFile(const std::string& path, std::string_view bytes, bool, bool privateToUser) {
    // Written beside the target and moved over it, so a full disk or a crash leaves the old
    // file whole. Windows has no execute bit: a .bat runs by its name.
    const std::string folder = folderOf(path);
    const DWORD attributes = ::GetFileAttributesW(longPath(folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Outcome::failure("the folder " + folder + " does not exist");
    const std::wstring target = longPath(path);
    const std::wstring temp = target + L".pacedeck-new";
    // A private file (a password) is for its owner and the system alone, not inherited
    // from a folder that other users may read.
    SECURITY_ATTRIBUTES privateAccess{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (privateToUser && ::ConvertStringSecurityDescriptorToSecurityDescriptorW(
                             L"D:P(A;;FA;;;OW)(A;;FA;;;SY)", SDDL_REVISION_1, &descriptor, nullptr))
        privateAccess.lpSecurityDescriptor = descriptor;
    Handle file{::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, descriptor ? &privateAccess : nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (descriptor) ::LocalFree(descriptor);
    if (file.h == INVALID_HANDLE_VALUE) return Outcome::failure(lastError("cannot write " + path));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD wrote = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        if (!::WriteFile(file.h, bytes.data() + done, chunk, &wrote, nullptr) || wrote == 0) {
            auto why = lastError("cannot write " + path);
            ::CloseHandle(file.h);
            file.h = nullptr;
            ::DeleteFileW(temp.c_str());
            return Outcome::failure(why);
        }
        done += wrote;
    }
    if (!::FlushFileBuffers(file.h)) {
        auto why = lastError("cannot write " + path);
        ::CloseHandle(file.h);
        file.h = nullptr;
        ::DeleteFileW(temp.c_str());
        return Outcome::failure(why);
    }
    ::CloseHandle(file.h);
    file.h = nullptr;
    if (!::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        auto why = lastError("cannot write " + path);
        ::DeleteFileW(temp.c_str());
        return Outcome::failure(why);
    }
    return Outcome::success();
}

Outcome Win32Platform::replaceFile(const std::string& from, const std::string& to) {
    if (::MoveFileExW(longPath(from).c_str(), longPath(to).c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return Outcome::success();
    return Outcome::failure(lastError("cannot write " + to));
}

Outcome Win32Platform::removeFile(const std::string& path) {
    if (::DeleteFileW(longPath(path).c_str())) return Outcome::success();
    const DWORD code = ::GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return Outcome::success();
    return Outcome::failure(lastError("cannot remove " + path));
}

Outcome Win32Platform::createFolder(const std::string& path) {
    const std::wstring w = longPath(path);
    if (::CreateDirectoryW(w.c_str(), nullptr)) return Outcome::success();
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        const DWORD attributes = ::GetFileAttributesW(w.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return Outcome::success();
        return Outcome::failure(path + " exists and is not a folder");
    }
    return Outcome::failure(lastError("cannot create the folder " + path));
}

bool Win32Platform::exists(const std::string& path) {
    return ::GetFileAttributesW(longPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::uint64_t> Win32Platform::folderSize(const std::string& path) {
    return sumFileSizes(path);
}

Outcome Win32Platform::batchText(std::string_view text, std::string& bytes) {
    // cmd reads a batch file in its console's code page, which is the OEM one in the consoles
    // the program starts (Wine's cmd reads it so whatever the console's page): in the ANSI code
    // page an "é" would reach the program as another letter.
    auto converted = toCodePage(text, ::GetOEMCP());
    if (!converted.bytes) return Outcome::failure(converted.error);
    bytes = std::move(*converted.bytes);
    return Outcome::success();
}

std::optional<bool> Win32Platform::lockState(LockKey key) {
    // Toggled on or held down: a key held down shows as on while it is down.
    return ::GetKeyState(virtualKey(key)) != 0;
}

Outcome Win32Platform::pressLockKey(LockKey key) {
    INPUT inputs[2] = {};
    for (auto& input : inputs) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = static_cast<WORD>(virtualKey(key));
        // Num Lock is an extended key: without the flag some keyboards see Pause.
        input.ki.dwFlags = key == LockKey::Num ? KEYEVENTF_EXTENDEDKEY : 0;
    }
    inputs[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    if (::SendInput(2, inputs, sizeof(INPUT)) != 2)
        return Outcome::failure(lastError("cannot press the key"));
    return Outcome::success();
}

Outcome Win32Platform::inhibitSleep(bool on) {
    // The state belongs to the calling thread, the window thread, for as long as it lives.
    const EXECUTION_STATE state = on ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS;
    if (::SetThreadExecutionState(state) == 0)
        return Outcome::failure(lastError("cannot keep the computer awake"));
    sleepHeld_ = on;
    return Outcome::success();
}

std::string Win32Platform::environment(std::string_view name) {
    const std::wstring w = wide(name);
    const DWORD n = ::GetEnvironmentVariableW(w.c_str(), nullptr, 0);
    if (n == 0) return {};
    std::wstring value(n, L'\0');
    const DWORD got = ::GetEnvironmentVariableW(w.c_str(), value.data(), n);
    value.resize(got < n ? got : 0);
    return utf8(value);
}

std::string Win32Platform::computerName() {
    return environment("COMPUTERNAME");
}

std::string Win32Platform::userName() {
    return environment("USERNAME");
}

std::string Win32Platform::executableFolder() {
    return folderOf(ownProgramPath());
}

std::string Win32Platform::timeText() {
    return formatted(true);
}

std::string Win32Platform::dateText() {
    return formatted(false);
}

char Win32Platform::thousandsSeparator() {
    return separator(LOCALE_STHOUSAND, ',');
}

char Win32Platform::decimalSeparator() {
    return separator(LOCALE_SDECIMAL, '.');
}

}  // namespace pd::win32
