#pragma once
#include <string>
#include <vector>

#include "core/Profile.hpp"
#include "platform/win32/RegistryStore.hpp"
#include "platform/win32/Win32Platform.hpp"

namespace pd::win32 {

// What a program on Windows runs on: the user's registry, the Win32 platform and the
// Windows profile. Shared by pacedeck and pacedeck-setup.
struct Win32System {
    Win32System();
    RegistryStore store;
    Win32Platform platform;
    Profile profile;
};

// The program's arguments in UTF-8 (the narrow argv holds them in the ANSI code page,
// with "?" for what that page lacks).
std::vector<std::string> programArguments();
// The copy's name: this program's file name without ".exe", in whatever letter case.
std::string ownExeName();

}  // namespace pd::win32
