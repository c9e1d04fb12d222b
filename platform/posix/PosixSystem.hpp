#pragma once
#include <string>

#include "core/Profile.hpp"
#include "platform/posix/PosixPlatform.hpp"
#include "platform/posix/SqliteStore.hpp"

namespace pd {

// What a program on POSIX runs on: the user's settings database, the POSIX platform and
// the POSIX profile for the user's home. Shared by pacedeck and pacedeck-setup.
// The file a program was started as, from its argv[0]: made absolute, or found on PATH,
// without following links, so that a link named after a coin stays that copy. Empty when
// it cannot be found.
std::string startedFile(const std::string& argv0);

struct PosixSystem {
    PosixSystem();
    SqliteStore store;
    PosixPlatform platform;
    Profile profile;
};

}  // namespace pd
