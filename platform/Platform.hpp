#pragma once
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pd {

// The outcome of an operation on the system: what failed, in plain words, when it did.
struct Outcome {
    bool ok = true;
    std::string error;
    static Outcome success() { return {}; }
    static Outcome failure(std::string why) { return {false, std::move(why)}; }
    explicit operator bool() const { return ok; }
};

using ProcessId = long long;

// One look at the process table; lookups by name are then cheap.
class ProcessTable {
  public:
    virtual ~ProcessTable() = default;
    virtual bool has(std::string_view name) const = 0;
    // The processes of that name that are this copy's own: those whose command line holds
    // one of ownArguments as a whole argument ("-datadir=/data/ltc"). Without ownArguments
    // every process of the name counts, and so does one whose command line cannot be read.
    // A system that cannot read command lines answers by name alone.
    virtual std::vector<ProcessId> idsOf(std::string_view name,
                                         const std::vector<std::string>& ownArguments) const = 0;
};

// What a command that was waited for gave back: its exit status and what it printed
// (standard output and error together). A command that could not be started has
// started == false and the reason in output.
struct CommandResult {
    bool started = true;
    int exitStatus = 0;
    std::string output;
    bool ok() const { return started && exitStatus == 0; }
};

// A command started without waiting: asked now and then whether it has ended.
class RunningCommand {
  public:
    virtual ~RunningCommand() = default;
    // The result once the command has ended; nothing while it still runs. Never blocks.
    virtual std::optional<CommandResult> poll() = 0;
    // Ends the command and what it started, without waiting for them: nobody wants its
    // result any more, and dropping it then waits for nothing. (Dropping a command that was
    // not cancelled waits for it, within its bound.)
    virtual void cancel() = 0;
};

// A command whose result is known when it starts (one that could not start, say).
class FinishedCommand final : public RunningCommand {
  public:
    explicit FinishedCommand(CommandResult result) : result_(std::move(result)) {}
    std::optional<CommandResult> poll() override { return result_; }
    void cancel() override {}

  private:
    CommandResult result_;
};

enum class LockKey { Num, Caps, Scroll };
enum class WindowStyle { Hidden, Normal };

// The operations the windows need from the system. One implementation per system, and a
// fake for the behaviour tests.
class Platform {
  public:
    virtual ~Platform() = default;

    // Processes. A snapshot that cannot be taken gives nullptr.
    virtual std::unique_ptr<ProcessTable> processes() = 0;
    // Ends every process of that name; returns how many were signalled.
    virtual int terminateByName(std::string_view name) = 0;
    // Starts a script file by the platform's shell without waiting.
    virtual Outcome runScript(const std::string& path, WindowStyle style) = 0;
    // Starts a script as runScript does, with what it prints (output and errors) added to
    // the end of outputFile, which is created when missing. A file that cannot be opened
    // does not keep the script from starting. This default keeps nothing.
    virtual Outcome runScriptKeepingOutput(const std::string& path, WindowStyle style,
                                           const std::string& outputFile) {
        (void)outputFile;
        return runScript(path, style);
    }
    // Starts a command line by the platform's shell without waiting.
    virtual Outcome runCommand(const std::string& commandLine, WindowStyle style) = 0;
    // Runs a short command line by the platform's shell, hidden, and waits for it, so that
    // its caller can tell the user when it failed.
    virtual CommandResult runAndWait(const std::string& commandLine) = 0;
    // The same command started without waiting, so that the loop and its timers go on
    // while it runs; never nullptr (a command that cannot start ends at once).
    virtual std::unique_ptr<RunningCommand> startCommand(const std::string& commandLine) = 0;

    // Files, always whole.
    virtual std::optional<std::string> readFile(const std::string& path) = 0;
    // The first maxBytes of a file (all of a shorter one), without reading the rest.
    virtual std::optional<std::string> readFileHead(const std::string& path, std::size_t maxBytes) {
        auto whole = readFile(path);
        if (whole && whole->size() > maxBytes) whole->resize(maxBytes);
        return whole;
    }
    // Creates or replaces the file; a private file is readable by its owner alone, an
    // executable one (a script) may be run by its owner.
    virtual Outcome writeFile(const std::string& path, std::string_view bytes, bool executable = false,
                              bool privateToUser = false) = 0;
    // Moves a file over another in one step: the target is then the old file or the new one,
    // never a mix.
    virtual Outcome replaceFile(const std::string& from, const std::string& to) = 0;
    // Adds the bytes at the end of the file, creating it when missing. This default rewrites
    // the whole file; a system that can append in place does.
    virtual Outcome appendFile(const std::string& path, std::string_view bytes) {
        auto whole = exists(path) ? readFile(path) : std::optional<std::string>(std::string());
        if (!whole) return Outcome::failure("cannot read " + path);
        return writeFile(path, *whole + std::string(bytes));
    }
    // A file that holds more than maxBytes keeps only its last keepBytes, from the first line
    // that starts in them. A system that can cut a file in place does, so that a program
    // appending to it goes on appending; this default rewrites the file.
    virtual Outcome trimFile(const std::string& path, std::uint64_t maxBytes, std::uint64_t keepBytes) {
        if (!exists(path)) return Outcome::success();
        auto whole = readFile(path);
        if (!whole) return Outcome::failure("cannot read " + path);
        if (whole->size() <= maxBytes) return Outcome::success();
        return writeFile(path, tailFromLineStart(*whole, keepBytes));
    }
    // The last keepBytes of the text, from the first line that starts in them.
    static std::string_view tailFromLineStart(std::string_view text, std::uint64_t keepBytes) {
        if (text.size() <= keepBytes) return text;
        // The line end just before the first whole line in the last keepBytes.
        const auto lineEnd = text.find('\n', text.size() - keepBytes - 1);
        return lineEnd == std::string_view::npos ? std::string_view() : text.substr(lineEnd + 1);
    }
    // Removes a file; one that is already gone is no failure.
    virtual Outcome removeFile(const std::string& path) = 0;
    virtual Outcome createFolder(const std::string& path) = 0;
    virtual bool exists(const std::string& path) = 0;
    // Sum of the sizes of all files below the folder (links not followed).
    virtual std::optional<std::uint64_t> folderSize(const std::string& path) = 0;
    // Text for a file that cmd reads (a batch file), in the code page cmd reads it in. A text
    // holding a character that code page lacks is refused with the reason, never written
    // with a "?" in its place. A system without cmd refuses every text.
    virtual Outcome batchText(std::string_view utf8, std::string& bytes) {
        (void)utf8;
        (void)bytes;
        return Outcome::failure("this system has no batch files");
    }

    // Keyboard lock keys; nullopt when the state cannot be known (no display).
    virtual std::optional<bool> lockState(LockKey key) = 0;
    virtual Outcome pressLockKey(LockKey key) = 0;
    // Keeps the computer from sleeping while held.
    virtual Outcome inhibitSleep(bool on) = 0;

    // Environment.
    virtual std::string environment(std::string_view name) = 0;
    virtual std::string computerName() = 0;
    virtual std::string userName() = 0;
    virtual std::string executableFolder() = 0;
    // The local time of day and date as text in the system's formats.
    virtual std::string timeText() = 0;
    virtual std::string dateText() = 0;
    // The wall clock: seconds since 1970, UTC.
    virtual std::int64_t unixTime() {
        using namespace std::chrono;
        return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
    }
    // The locale's separators for numbers.
    virtual char thousandsSeparator() = 0;
    virtual char decimalSeparator() = 0;
};

}  // namespace pd
