#include "core/Profile.hpp"

#include "core/ShellQuote.hpp"

namespace pd {

std::string Profile::join(std::string_view folder, std::string_view name) const {
    std::string out(folder);
    out += separator;
    out += name;
    return out;
}

std::string Profile::subFolder(std::string_view home, std::string_view sub) const {
    return join(home, sub) + separator;
}

std::string Profile::editorCommandFor(std::string_view path) const {
    return editorCommand + (shell == ShellKind::PosixSh ? shQuoted(path) : commandLineWord(shell, path));
}

std::string Profile::viewerCommandFor(std::string_view path) const {
    if (shell == ShellKind::PosixSh) return editorCommandFor(path);
    return "explorer.exe " + commandLineProgram(shell, path);
}

const Profile& windowsProfile() {
    static const Profile p = [] {
        Profile w;
        w.name = "windows";
        w.separator = '\\';
        w.lineEnd = "\r\n";
        w.scriptExtension = ".bat";
        w.scriptPrefix = "call ";
        w.shell = ShellKind::Cmd;
        w.encoding = TextEncoding::CmdCodePage;
        w.defaultHome = "C:\\SYNCWARD-ROOT\\PACEDECK";
        w.executableSuffix = ".exe";
        w.caseInsensitiveNames = true;
        w.useQtFolder = "C:\\Program Files\\Bitcoin";
        w.useQtFile = "bitcoin-qt.exe";
        w.useDaemonFolder = "C:\\Program Files\\Bitcoin\\Daemon";
        w.useDaemondFile = "bitcoind.exe";
        w.useDaemonCliFile = "bitcoin-cli.exe";
        w.mailerFolder = "C:\\SYNCWARD-ROOT\\SendEmail";
        w.mailerFile = "SendEmail.exe";
        w.editorCommand = "notepad.exe ";
        w.editorName = "NOTEPAD";
        w.taskScheduler = TaskScheduler::SchTasks;
        w.powerCommands = {"shutdown /s /t 0", "shutdown /g /f /t 0", "shutdown /h", "shutdown /l"};
        return w;
    }();
    return p;
}

Profile posixProfile(std::string_view userHome) {
    Profile p;
    p.name = "posix";
    p.separator = '/';
    p.lineEnd = "\n";
    p.scriptExtension = ".sh";
    p.scriptPrefix = "exec ";
    p.shell = ShellKind::PosixSh;
    p.encoding = TextEncoding::Utf8;
    p.defaultHome = std::string(userHome) + "/SYNCWARD-ROOT/PACEDECK";
    p.executableSuffix = "";
    p.caseInsensitiveNames = false;
    p.useQtFolder = "/usr/local/bin";
    p.useQtFile = "bitcoin-qt";
    p.useDaemonFolder = "/usr/local/bin";
    p.useDaemondFile = "bitcoind";
    p.useDaemonCliFile = "bitcoin-cli";
    p.mailerFolder = "/usr/bin";
    p.mailerFile = "sendemail";
    p.editorCommand = "xdg-open ";
    p.editorName = "TEXT EDITOR";
    p.taskScheduler = TaskScheduler::Crontab;
    p.powerCommands = {"systemctl poweroff", "systemctl reboot", "systemctl hibernate",
                       "loginctl terminate-session \"${XDG_SESSION_ID:-self}\""};
    return p;
}

Profile defaultProfile(std::string_view userHome) {
#ifdef _WIN32
    (void)userHome;
    return windowsProfile();
#else
    return posixProfile(userHome);
#endif
}

}  // namespace pd
