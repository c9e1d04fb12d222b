#pragma once
#include <array>
#include <string>
#include <string_view>

namespace pd {

// Files that cmd reads are written in its code page (the platform knows which), others in UTF-8.
enum class TextEncoding { Utf8, CmdCodePage };
enum class ShellKind { Cmd, PosixSh };
// Where the weekly task lives: the Windows task scheduler through SchTasks, or the
// user's crontab.
enum class TaskScheduler { SchTasks, Crontab };

// Every platform convention as data: the windows build paths, scripts and commands from
// the profile, never from literals, so the same window logic serves both systems.
struct Profile {
    std::string name;             // "windows" or "posix"
    char separator = '\\';        // path separator
    std::string lineEnd;          // line end of written text files
    std::string scriptExtension;  // ".bat" / ".sh"
    std::string scriptPrefix;     // "call " / "exec "
    ShellKind shell = ShellKind::Cmd;
    TextEncoding encoding = TextEncoding::CmdCodePage;
    std::string defaultHome;           // the home folder the settings window calls the default
    std::string executableSuffix;      // ".exe" / ""
    bool caseInsensitiveNames = true;  // process image names

    // Values of the crypto settings window's Use buttons.
    std::string useQtFolder;
    std::string useQtFile;
    std::string useDaemonFolder;
    std::string useDaemondFile;
    std::string useDaemonCliFile;

    std::string mailerFolder;   // the e-mail settings' Use button
    std::string mailerFile;     // "SendEmail.exe" / "sendemail"
    std::string editorCommand;  // prefix of the command that opens a text file
    std::string editorName;     // how the windows name that editor: "NOTEPAD"
    TaskScheduler taskScheduler = TaskScheduler::SchTasks;
    // Commands of the power actions: shutdown, restart, hibernate, log off.
    std::array<std::string, 4> powerCommands;

    // "0" and a line end: what a client prints for a chain that has not started.
    std::string zeroReading() const { return "0" + lineEnd; }
    // folder + separator + name
    std::string join(std::string_view folder, std::string_view name) const;
    // home + separator + sub + separator: "C:\HOME\BATS\"
    std::string subFolder(std::string_view home, std::string_view sub) const;
    // The command line that opens a text file in the editor: the path follows the editor
    // command as typed where cmd would take it so, else quoted for cmd's command line, and as
    // one quoted word under sh.
    std::string editorCommandFor(std::string_view path) const;
    // The command line that opens a picture in the system's viewer for its kind (a browser
    // for an SVG): xdg-open under sh, which is the editor's opener too; the shell's
    // file-type association under cmd, where the editor would show the picture's source.
    std::string viewerCommandFor(std::string_view path) const;
};

const Profile& windowsProfile();
// The POSIX profile for a user whose home directory is given.
Profile posixProfile(std::string_view userHome);
// The profile of the system this build runs on: the Windows profile in a Windows build.
Profile defaultProfile(std::string_view userHome);

}  // namespace pd
