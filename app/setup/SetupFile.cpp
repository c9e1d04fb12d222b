#include "app/setup/SetupFile.hpp"

#include <filesystem>
#include <fstream>

#ifndef _WIN32
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#endif

namespace pd::setup {

namespace {

namespace fs = std::filesystem;

SetupFileText refused(SetupFileText::Problem problem, std::string why) {
    return {problem, std::move(why), {}};
}

std::string sizeLimit() {
    return std::to_string(maxSetupFileBytes / (1 << 20)) + " MiB";
}

#ifndef _WIN32
// A pipe is read as it comes: it ends when its writers close it (at once when there is none),
// or when it stays silent too long.
SetupFileText readPipe(const std::string& file, const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return refused(SetupFileText::Problem::CannotRead, "cannot read " + file);
    std::string bytes;
    char chunk[65536];
    auto lastData = std::chrono::steady_clock::now();
    for (;;) {
        const auto n = ::read(fd, chunk, sizeof chunk);
        if (n > 0) {
            bytes.append(chunk, static_cast<std::size_t>(n));
            if (bytes.size() > maxSetupFileBytes) {
                ::close(fd);
                return refused(SetupFileText::Problem::CannotRead,
                               file + " sends more than " + sizeLimit() + ": it is not a set-up file");
            }
            lastData = std::chrono::steady_clock::now();
            continue;
        }
        if (n == 0) break;
        if (errno == EINTR) continue;
        if (errno != EAGAIN) {
            ::close(fd);
            return refused(SetupFileText::Problem::CannotRead, "cannot read " + file);
        }
        if (std::chrono::steady_clock::now() - lastData > std::chrono::milliseconds(pipeSilenceMs)) {
            ::close(fd);
            return refused(SetupFileText::Problem::CannotRead, file + " is a pipe that sent nothing for " +
                                                                   std::to_string(pipeSilenceMs / 1000) +
                                                                   " s: it was given up");
        }
        pollfd wait{fd, POLLIN, 0};
        ::poll(&wait, 1, 100);
    }
    ::close(fd);
    return setupText(file, std::move(bytes));
}
#endif

}  // namespace

SetupFileText setupText(const std::string& file, std::string bytes) {
    const std::string_view text(bytes);
    if (text.starts_with("\xEF\xBB\xBF")) return {SetupFileText::Problem::None, {}, bytes.substr(3)};
    const bool utf16Mark = text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF");
    const auto nul = text.find('\0');
    if (utf16Mark || nul != std::string_view::npos) {
        // UTF-16 text of a set-up file is mostly ASCII: every other byte is zero.
        const bool utf16 = utf16Mark || (text.size() >= 2 && (text[0] == '\0' || text[1] == '\0'));
        return refused(SetupFileText::Problem::NotText,
                       utf16 ? file + " is UTF-16 text: save it as UTF-8"
                             : file + " holds a NUL byte: it is not a text file");
    }
    return {SetupFileText::Problem::None, {}, std::move(bytes)};
}

SetupFileText readSetupFile(const std::string& file) {
    // The name is UTF-8 on every system.
    const fs::path path(std::u8string(file.begin(), file.end()));
    std::error_code ec;
    const auto status = fs::status(path, ec);
    if (ec || !fs::exists(status)) return refused(SetupFileText::Problem::CannotRead, "cannot read " + file);
    if (fs::is_directory(status))
        return refused(SetupFileText::Problem::CannotRead, file + " is a folder, not a set-up file");
#ifndef _WIN32
    if (fs::is_fifo(status)) return readPipe(file, path);
#endif
    if (!fs::is_regular_file(status))
        return refused(SetupFileText::Problem::CannotRead, file + " is a device, not a set-up file");
    if (fs::file_size(path, ec) > maxSetupFileBytes || ec)
        return refused(SetupFileText::Problem::CannotRead,
                       file + " is larger than " + sizeLimit() + ": it is not a set-up file");
    std::ifstream in(path, std::ios::binary);
    std::string bytes(maxSetupFileBytes + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad() || (!in && !in.eof()))
        return refused(SetupFileText::Problem::CannotRead, "cannot read " + file);
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    // A file that grew since its size was read is still bounded.
    if (bytes.size() > maxSetupFileBytes)
        return refused(SetupFileText::Problem::CannotRead,
                       file + " is larger than " + sizeLimit() + ": it is not a set-up file");
    return setupText(file, std::move(bytes));
}

}  // namespace pd::setup
