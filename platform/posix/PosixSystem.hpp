#pragma once
#include <string>

#include "core/Profile.hpp"
#include "platform/posix/PosixPlatform.hpp"
#include "platform/posix/SqliteStore.hpp"

namespace pd {

// What a program on POSIX runs on: the user's settings database, the POSIX platform and
// the POSIX profile for the user's home. Shared by pacedeck and pacedeck-setup.
struct PosixSystem {
    PosixSystem();
    SqliteStore store;
    PosixPlatform platform;
    Profile profile;
};

}  // namespace pd
