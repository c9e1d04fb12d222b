#include "platform/posix/ChildExec.hpp"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace pd {

void execQuietly(const std::vector<std::string>& argv, int reportFd, int outputFd) {
    int devnull = ::open("/dev/null", O_RDWR);
    if (devnull >= 0) {
        ::dup2(devnull, 0);
        ::dup2(devnull, 1);
        ::dup2(devnull, 2);
        if (devnull > 2) ::close(devnull);
    }
    if (outputFd >= 0) {
        ::dup2(outputFd, 1);
        ::dup2(outputFd, 2);
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    std::vector<char*> args;
    for (auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    int err = errno;
    auto ignored = ::write(reportFd, &err, sizeof err);
    (void)ignored;
    _exit(127);
}

}  // namespace pd
