#include "platform/posix/FolderSize.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "platform/posix/Getdents.hpp"

namespace pd {

namespace {
constexpr std::size_t bufferSize = 64 * 1024;

// A walk costs one status query per file and one listing per folder, with no path text
// built: every name is looked up relative to its open folder.
class Walker {
  public:
    // Adds the sizes of the files below the open folder; false when some part of the tree
    // cannot be read (the sum would then be too small, which is worse than no sum).
    bool sum(int dirFd, std::size_t depth) {
        // One listing buffer per level: a level's listing is still being walked while the
        // levels below it are read.
        if (buffers_.size() <= depth) buffers_.push_back(std::make_unique<char[]>(bufferSize));
        char* buffer = buffers_[depth].get();
        const bool ok = forEachEntry(dirFd, buffer, bufferSize, [&](const char* name, unsigned char type) {
            return visit(dirFd, name, type, depth);
        });
        ::close(dirFd);
        return ok;
    }

    std::uint64_t total() const { return total_; }

  private:
    bool visit(int dirFd, const char* name, unsigned char type, std::size_t depth) {
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) return true;
        if (type == DT_DIR) return descend(dirFd, name, depth);
        if (type != DT_REG && type != DT_UNKNOWN) return true;  // links, devices, pipes, sockets
        struct stat st {};
        if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT;  // gone meanwhile
        if (S_ISREG(st.st_mode))
            total_ += static_cast<std::uint64_t>(st.st_size);
        else if (S_ISDIR(st.st_mode))
            return descend(dirFd, name, depth);
        return true;
    }

    bool descend(int dirFd, const char* name, std::size_t depth) {
        const int sub = ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (sub < 0) return errno == ENOENT;
        return sum(sub, depth + 1);
    }

    std::uint64_t total_ = 0;
    std::vector<std::unique_ptr<char[]>> buffers_;
};
}  // namespace

std::optional<std::uint64_t> sumFileSizes(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    Walker walker;
    if (!walker.sum(fd, 0)) return std::nullopt;
    return walker.total();
}

}  // namespace pd
