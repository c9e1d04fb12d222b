// What the node keeps in its data folder: the height reached, the block
// files that grow with it, the lock that keeps a second node out, the pid
// file and the debug log.
#pragma once

#include <cstdint>
#include <fstream>
#include <optional>
#include <string>

namespace simcoin {

// The height saved by the previous run, if any.
std::optional<std::int64_t> readSavedHeight(const std::string& datadir);
// Written to a temporary file and renamed, so a crash never leaves half a number.
bool saveHeight(const std::string& datadir, std::int64_t height);

// Appends block data under DATADIR/blocks/ in blkNNNNN.dat files, starting a
// new file when one reaches maxFileSize as the real node does.
class BlockStore {
  public:
    static constexpr std::uint64_t maxFileSize = 128ull * 1024 * 1024;

    BlockStore(const std::string& datadir, std::int64_t bytesPerBlock);
    // Appends the blocks from `fromHeight`+1 up to `toHeight`.
    bool append(std::int64_t fromHeight, std::int64_t toHeight);

  private:
    std::string fileName(int index) const;

    std::string dir_;
    std::int64_t bytesPerBlock_;
    int fileIndex_ = 0;
};

// An exclusive lock on DATADIR/.lock, held for the life of the object. The
// system drops it when the process dies, so a crashed node never blocks the
// next start.
class DataDirLock {
  public:
    explicit DataDirLock(const std::string& datadir);
    ~DataDirLock();
    DataDirLock(const DataDirLock&) = delete;
    DataDirLock& operator=(const DataDirLock&) = delete;

    bool held() const { return lock_ != -1; }

  private:
    std::intptr_t lock_ = -1;
};

// Appends timestamped lines to DATADIR/debug.log, flushed at once so that a
// crash leaves the log complete up to the crash.
class DebugLog {
  public:
    void open(const std::string& path);
    // Also print each line on stdout, as -printtoconsole asks.
    void echoToConsole(bool on) { echo_ = on; }
    void write(const std::string& line);

  private:
    std::ofstream out_;
    bool echo_ = false;
};

}  // namespace simcoin
