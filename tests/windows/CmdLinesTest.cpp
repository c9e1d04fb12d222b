// Every value a user may type, however hostile to cmd, reaches the started program exactly
// through each kind of line the program hands to cmd: a batch file's `call` line, a command line
// cmd runs itself (the editor's, the sync check's, any command), run without waiting or waited
// for. The program and the batch file lie in folders whose names are as hostile as a name may be.
#include <gtest/gtest.h>

#include <functional>

#include "WindowsTestSupport.hpp"
#include "core/ShellQuote.hpp"
#include "core/TextFile.hpp"
#include "platform/win32/Win32Platform.hpp"

namespace pd::test {

namespace {
// A variable that exists while the test runs: cmd must not put its value in place of its name.
const std::string variable = "PACEDECK_PROBE_VARIABLE";
const std::string named = "%" + variable + "%";

struct Hostile {
    const char* what;
    std::string value;
};
const std::vector<Hostile> hostileValues = {
    {"single quotes", "it's 'quoted'"},
    {"double quotes", "say \"hi\" \"\""},
    {"percent", "100% sure"},
    {"a variable that exists", named},
    {"exclamation marks", "wow! !" + variable + "!"},
    {"ampersand", "a&b & c"},
    {"pipe", "a|b"},
    {"redirections", "a<b >c"},
    {"caret", "a^b ^"},
    {"brackets", "(a) (b"},
    {"semicolon", "a;b"},
    {"spaces", "  two  spaces  "},
    {"a letter of the code page", "Chaîne é"},
    {"all at once but the caret", "' \" % ! & | < > ( ) ; é " + named},
};
// What of them a folder's name may hold.
const std::string hostileFolder = "sp ace 'q' 100% " + named + " ! & ^ ( ) ; é";

// Wine's cmd reads a caret next to a quote as it stands, and its `call` does not double the
// carets between quotes as Windows' does, so no quoting brings a caret through a batch file's
// call line to the program under Wine. (Its `call` also reads the line a second time, as
// Windows' does, only when the program's path holds a "%", as the path here does.)
bool underWine() {
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// How a line reaches cmd, and what the program is expected to receive from it.
struct Kind {
    const char* name;
    // Starts the probe so that it receives `value`; the probe records its arguments.
    std::function<bool(const std::string& value)> start;
};
}  // namespace

TEST(WindowsCmdLines, EveryHostileValueReachesTheProgramExactlyThroughEachKindOfLine) {
    TempDir tmp;
    const std::string folder = tmp.path + "\\" + hostileFolder;
    ASSERT_TRUE(std::filesystem::create_directories(pathOf(folder)));
    const std::string probe = folder + "\\probe (1).exe";
    copyProbe(probe);
    const bool wine = underWine();
    std::string callFolder = hostileFolder;
    if (wine) callFolder.erase(callFolder.find(" ^"), 2);
    callFolder = tmp.path + "\\" + callFolder;
    const std::string callProbe = callFolder + "\\probe (2).exe";
    std::filesystem::create_directories(pathOf(callFolder));
    copyProbe(callProbe);
    ::SetEnvironmentVariableW(win32::wide(variable).c_str(), L"EXPANDED");
    win32::Win32Platform platform;
    const auto& windows = windowsProfile();
    const auto cmd = ShellKind::Cmd;
    // The editor's line, with the probe as the editor.
    Profile editor = windows;
    editor.editorCommand = commandLineProgram(cmd, probe) + " ";
    // A script of each run's own: cmd may still hold the last one open.
    int run = 0;
    auto script = [&] { return folder + "\\line " + named + " " + std::to_string(run) + ".bat"; };
    const char* const batchLine = "a batch file's call line";

    const std::vector<Kind> kinds = {
        {batchLine,
         [&](const std::string& v) {
             const auto line = windows.scriptPrefix + scriptLineProgram(cmd, callProbe) + " " +
                               scriptLineWord(cmd, v) + " " + scriptLineQuotedWord(cmd, v);
             return writeTextFile(platform, windows, script(), line + windows.lineEnd, true) &&
                    platform.runScript(script(), WindowStyle::Hidden);
         }},
        {"a command line",
         [&](const std::string& v) {
             return bool(platform.runCommand(commandLineProgram(cmd, probe) + " " + commandLineWord(cmd, v),
                                             WindowStyle::Hidden));
         }},
        {"a command line waited for",
         [&](const std::string& v) {
             const auto r =
                 platform.runAndWait(commandLineProgram(cmd, probe) + " " + commandLineWord(cmd, v));
             return r.ok() && r.output.find("4242") != std::string::npos;
         }},
        {"the editor's line",
         [&](const std::string& v) {
             return bool(platform.runCommand(editor.editorCommandFor(v), WindowStyle::Normal));
         }},
    };
    // cmd runs every line with delayed expansion off, whatever the user's registry says.
    EXPECT_EQ(win32::cmdLineFor("x"), L"cmd.exe /d /v:off /s /c \"x\"");

    for (const auto& kind : kinds) {
        for (const auto& h : hostileValues) {
            if (wine && kind.name == batchLine && h.value.find('^') != std::string::npos) {
                std::printf("   not under Wine: %s, %s\n", kind.name, h.what);
                continue;
            }
            const std::string out = tmp.path + "\\args" + std::to_string(++run);
            ::SetEnvironmentVariableW(L"PROBE_OUT", win32::wide(out).c_str());
            EXPECT_TRUE(kind.start(h.value)) << kind.name << ": " << h.what;
            // Read until it holds the arguments: under Wine a file just moved in place may read empty.
            std::vector<std::string> args;
            if (!waitFor([&] { return !(args = recordedArgs(out)).empty(); }, std::chrono::seconds(10))) {
                ADD_FAILURE() << kind.name << ": " << h.what << " did not start the program";
                continue;
            }
            args.erase(args.begin());
            const std::vector<std::string> expected = kind.name == batchLine
                                                          ? std::vector<std::string>{h.value, h.value}
                                                          : std::vector<std::string>{h.value};
            EXPECT_EQ(args, expected) << kind.name << ": " << h.what;
        }
    }
    ::SetEnvironmentVariableW(L"PROBE_OUT", nullptr);
    ::SetEnvironmentVariableW(win32::wide(variable).c_str(), nullptr);
}

}  // namespace pd::test
