#include "platform/posix/FolderSize.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/posix/Getdents.hpp"

namespace pd {

namespace {
// Large listing reads: a block-chain folder holds thousands of files.
constexpr std::size_t bufferSize = 256 * 1024;
// Folders waiting for a walker stay open; past this many a walker walks the folder it
// found itself, so a tree of any breadth keeps few files open.
constexpr std::size_t maxQueued = 512;

// The size of one entry without following a link and without asking a network file
// system to sync: statx where the kernel has it, fstatat otherwise.
enum class Kind { Other, File, Folder, Gone, Failed };
Kind sizeOf(int dirFd, const char* name, std::uint64_t& size) {
#ifdef STATX_SIZE
    struct statx sx {};
    if (::statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_STATX_DONT_SYNC | AT_NO_AUTOMOUNT,
                STATX_TYPE | STATX_SIZE, &sx) == 0) {
        size = sx.stx_size;
        return S_ISREG(sx.stx_mode) ? Kind::File : S_ISDIR(sx.stx_mode) ? Kind::Folder : Kind::Other;
    }
    if (errno != ENOSYS) return errno == ENOENT ? Kind::Gone : Kind::Failed;
#endif
    struct stat st {};
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? Kind::Gone : Kind::Failed;
    size = static_cast<std::uint64_t>(st.st_size);
    return S_ISREG(st.st_mode) ? Kind::File : S_ISDIR(st.st_mode) ? Kind::Folder : Kind::Other;
}

// Open folders waiting to be walked, shared by the walkers. The walk ends when no folder
// waits and no walker is busy, or at the first failure.
class Work {
  public:
    void push(int dirFd) {
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(dirFd);
        }
        ready_.notify_one();
    }
    bool roomFor() {
        std::lock_guard lock(mutex_);
        return queue_.size() < maxQueued;
    }
    // The next folder, or -1 when the walk is over.
    int take() {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [&] { return !queue_.empty() || busy_ == 0 || failed_; });
        if (failed_ || queue_.empty()) return -1;
        ++busy_;
        const int fd = queue_.front();
        queue_.pop_front();
        return fd;
    }
    void done() {
        bool over = false;
        {
            std::lock_guard lock(mutex_);
            over = --busy_ == 0 && queue_.empty();
        }
        if (over) ready_.notify_all();
    }
    void fail() {
        {
            std::lock_guard lock(mutex_);
            failed_ = true;
        }
        ready_.notify_all();
    }
    bool failed() const {
        std::lock_guard lock(mutex_);
        return failed_;
    }
    explicit Work(int root) : queue_{root} {}
    Work(const Work&) = delete;
    Work& operator=(const Work&) = delete;
    ~Work() {
        for (int fd : queue_) ::close(fd);
    }

  private:
    mutable std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<int> queue_;
    int busy_ = 0;
    bool failed_ = false;
};

// No more walkers than processors we may run on: the walk is bound by the kernel's work
// per entry, and more threads would only take turns.
unsigned processorsForUs() {
    cpu_set_t set;
    CPU_ZERO(&set);
    const int allowed = ::sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set) : 1;
    return static_cast<unsigned>(std::clamp(allowed, 1, 16));
}

// One walker: one status query per file and one listing per folder, with no path text
// built: every name is looked up relative to its open folder.
class Walker {
  public:
    explicit Walker(Work& work) : work_(work) {}

    void run() {
        for (int fd; (fd = work_.take()) >= 0;) {
            if (!sum(fd, 0)) work_.fail();
            work_.done();
        }
    }
    std::uint64_t total() const { return total_; }

  private:
    // Adds the sizes of the files below the open folder (and closes it); false when some
    // part of the tree cannot be read (the sum would then be too small, which is worse
    // than no sum).
    bool sum(int dirFd, std::size_t depth) {
        // One listing buffer per level: a level's listing is still being walked while a
        // level below it is read.
        if (buffers_.size() <= depth) buffers_.push_back(std::make_unique<char[]>(bufferSize));
        char* buffer = buffers_[depth].get();
        const bool ok = forEachEntry(dirFd, buffer, bufferSize, [&](const char* name, unsigned char type) {
            return visit(dirFd, name, type, depth);
        });
        ::close(dirFd);
        return ok;
    }

    bool visit(int dirFd, const char* name, unsigned char type, std::size_t depth) {
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) return true;
        if (type == DT_DIR) return descend(dirFd, name, depth);
        if (type != DT_REG && type != DT_UNKNOWN) return true;  // links, devices, pipes, sockets
        std::uint64_t size = 0;
        switch (sizeOf(dirFd, name, size)) {
            case Kind::File:
                total_ += size;
                return true;
            case Kind::Folder:
                return descend(dirFd, name, depth);
            case Kind::Other:
            case Kind::Gone:  // deleted meanwhile
                return true;
            case Kind::Failed:
                break;
        }
        return false;
    }

    bool descend(int dirFd, const char* name, std::size_t depth) {
        if (work_.failed()) return false;
        const int sub = ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (sub < 0) return errno == ENOENT;
        if (work_.roomFor()) {
            work_.push(sub);  // another walker may take it
            return true;
        }
        return sum(sub, depth + 1);
    }

    Work& work_;
    std::uint64_t total_ = 0;
    std::vector<std::unique_ptr<char[]>> buffers_;
};
}  // namespace

std::optional<std::uint64_t> sumFileSizes(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    Work work(fd);
    const unsigned walkers = processorsForUs();
    std::vector<Walker> all;
    all.reserve(walkers);
    for (unsigned i = 0; i < walkers; ++i) all.emplace_back(work);
    std::vector<std::thread> helpers;
    for (unsigned i = 1; i < walkers; ++i) helpers.emplace_back([&walker = all[i]] { walker.run(); });
    all[0].run();
    for (auto& t : helpers) t.join();
    if (work.failed()) return std::nullopt;
    std::uint64_t total = 0;
    for (const auto& walker : all) total += walker.total();
    return total;
}

}  // namespace pd
