#pragma once
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <type_traits>

namespace pd {

// Reads a folder listing in large batches straight from the kernel (getdents64), without
// the per-entry work of readdir: the walks over /proc and over a block-chain folder see
// every entry once per pass.
struct DirentRecord {
    std::uint64_t ino;
    std::int64_t off;
    unsigned short reclen;
    unsigned char type;
    char name[1];
};

// Calls visit(name, type) or visit(name, type, inode) for every entry of the open folder
// from its current position; stops early when visit returns false. Returns false when the listing failed or
// visit stopped it.
template <class Visit>
bool forEachEntry(int dirFd, char* buffer, std::size_t size, Visit&& visit) {
    for (;;) {
        const long got = ::syscall(SYS_getdents64, dirFd, buffer, size);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return got == 0;
        for (long at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const DirentRecord*>(buffer + at);
            at += entry->reclen;
            if constexpr (std::is_invocable_v<Visit, const char*, unsigned char, std::uint64_t>) {
                if (!visit(entry->name, entry->type, entry->ino)) return false;
            } else {
                if (!visit(entry->name, entry->type)) return false;
            }
        }
    }
}

}  // namespace pd
