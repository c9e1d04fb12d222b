#include "DataDir.hpp"

#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "System.hpp"

namespace fs = std::filesystem;

namespace simcoin {

std::optional<std::int64_t> readSavedHeight(const std::string& datadir) {
    std::ifstream in(fs::path(datadir) / "height");
    long long h = 0;
    if (!(in >> h) || h < 0) return std::nullopt;
    return h;
}

bool saveHeight(const std::string& datadir, std::int64_t height) {
    auto path = fs::path(datadir) / "height";
    auto tmp = fs::path(datadir) / "height.new";
    {
        std::ofstream out(tmp, std::ios::trunc);
        out << height << '\n';
        if (!out.flush()) return false;
    }
    std::error_code ec;
    fs::rename(tmp, path, ec);
    return !ec;
}

BlockStore::BlockStore(const std::string& datadir, std::int64_t bytesPerBlock)
    : dir_((fs::path(datadir) / "blocks").string()), bytesPerBlock_(bytesPerBlock) {
    std::error_code ec;
    fs::create_directories(dir_, ec);
    // Carry on in the newest file left by the previous run.
    while (fs::exists(fileName(fileIndex_ + 1))) ++fileIndex_;
}

std::string BlockStore::fileName(int index) const {
    std::array<char, 32> name{};
    std::snprintf(name.data(), name.size(), "blk%05d.dat", index);
    return (fs::path(dir_) / name.data()).string();
}

bool BlockStore::append(std::int64_t fromHeight, std::int64_t toHeight) {
    if (bytesPerBlock_ <= 0) return true;
    std::string block(static_cast<std::size_t>(bytesPerBlock_), '\0');
    for (std::int64_t h = fromHeight + 1; h <= toHeight; ++h) {
        // Some recognisable bytes rather than zeros, so the files cannot be
        // stored sparsely and really take the space they claim.
        for (std::size_t i = 0; i < block.size(); ++i)
            block[i] = static_cast<char>((static_cast<std::uint64_t>(h) * 31 + i) & 0xFF);
        std::error_code ec;
        auto size = fs::exists(fileName(fileIndex_)) ? fs::file_size(fileName(fileIndex_), ec) : 0;
        if (!ec && size > 0 && size + block.size() > maxFileSize) ++fileIndex_;
        std::ofstream out(fileName(fileIndex_), std::ios::binary | std::ios::app);
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
        if (!out.flush()) return false;
    }
    return true;
}

DataDirLock::DataDirLock(const std::string& datadir)
    : lock_(lockFileExclusively((fs::path(datadir) / ".lock").string())) {}

DataDirLock::~DataDirLock() {
    unlockFile(lock_);
}

void DebugLog::open(const std::string& path) {
    out_.open(path, std::ios::app);
}

void DebugLog::write(const std::string& line) {
    if (echo_) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    }
    if (!out_) return;
    auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    const std::tm utc = utcTime(now);
    std::array<char, 32> stamp{};
    std::strftime(stamp.data(), stamp.size(), "%Y-%m-%dT%H:%M:%SZ", &utc);
    out_ << stamp.data() << ' ' << line << '\n';
    out_.flush();
}

}  // namespace simcoin
