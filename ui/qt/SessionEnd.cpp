#include "ui/qt/SessionEnd.hpp"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

namespace pd::qt {

namespace {
// A signal handler can reach nothing but a plain value: the pipe's write end.
volatile sig_atomic_t pipeWriteFd = -1;

constexpr int endSignals[] = {SIGTERM, SIGHUP, SIGINT};

extern "C" void onSignal(int signal) {
    const int saved = errno;
    const char byte = static_cast<char>(signal);
    if (pipeWriteFd >= 0) {
        const ssize_t written = ::write(pipeWriteFd, &byte, 1);
        static_cast<void>(written);  // a full pipe already holds a wake-up
    }
    errno = saved;
}
}  // namespace

SessionEnd::SessionEnd() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    readFd_ = fds[0];
    pipeWriteFd = fds[1];
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : endSignals) ::sigaction(s, &action, nullptr);
}

SessionEnd::~SessionEnd() {
    notifier_.reset();
    for (int s : endSignals) ::signal(s, SIG_DFL);
    if (pipeWriteFd >= 0) ::close(pipeWriteFd);
    pipeWriteFd = -1;
    if (readFd_ >= 0) ::close(readFd_);
}

void SessionEnd::listen(std::function<void()> onEnd) {
    if (readFd_ < 0) return;
    onEnd_ = std::move(onEnd);
    notifier_ = std::make_unique<QSocketNotifier>(readFd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] {
        char buffer[16];
        while (::read(readFd_, buffer, sizeof buffer) > 0) {
        }
        if (onEnd_) onEnd_();
    });
}

}  // namespace pd::qt
