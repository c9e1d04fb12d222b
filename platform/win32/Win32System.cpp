#include "platform/win32/Win32System.hpp"

// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include "core/App.hpp"
#include "platform/win32/WideText.hpp"

namespace pd::win32 {

Win32System::Win32System() : profile(windowsProfile()) {}

std::vector<std::string> programArguments() {
    int count = 0;
    wchar_t** args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> out;
    if (!args) return out;
    for (int i = 0; i < count; ++i) out.push_back(utf8(args[i]));
    ::LocalFree(args);
    return out;
}

std::string ownExeName() {
    return exeNameFrom(ownProgramPath(), windowsProfile().executableSuffix);
}

}  // namespace pd::win32
