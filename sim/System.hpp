// What the node needs from the operating system beyond files and sockets: its
// own name, its process id, going into the background, being told to stop, and
// an exclusive lock on a file. POSIX in SystemPosix.cpp, Windows in SystemWin32.cpp.
#pragma once

#include <atomic>
#include <cstdint>
#include <ctime>
#include <string>

namespace simcoin {

// The name that chooses the personality: the file name this program was started
// under (a symlink's on POSIX; on Windows the .exe's, without ".exe" and in lower case,
// as Windows ignores letter case in file names).
std::string ownProgramName(const char* argv0);
// Makes the process list show `name` where the system allows it.
void nameThisProcess(const std::string& name);
long currentProcessId();

// Puts the node into the background as -daemon asks. The parent learns it from
// Detach::Parent and leaves; the node carries on where Child is returned (on POSIX,
// in the forked child; on Windows a detached copy is started with -daemon=0 instead,
// so only the parent ever returns).
enum class Detach { Parent, Child, Failed };
Detach detachIntoBackground();

// Sets `flag` when the node is asked to stop by the system: SIGTERM or SIGINT on
// POSIX, Ctrl+C, Ctrl+Break or the console closing on Windows.
void raiseOnStopRequest(std::atomic<bool>& flag);

// An exclusive lock on the file (created if missing), released when the process
// ends however it ends. -1 when another process holds it or the file cannot be opened.
std::intptr_t lockFileExclusively(const std::string& path);
void unlockFile(std::intptr_t lock);

std::tm utcTime(std::time_t t);

}  // namespace simcoin
