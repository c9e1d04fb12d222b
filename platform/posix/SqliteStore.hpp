#pragma once
#include <chrono>
#include <functional>
#include <string>

#include "core/SettingsStore.hpp"

struct sqlite3;

namespace pd {

// The POSIX settings store: one SQLite database per user, one row per setting, so that
// `sqlite3` shows a user everything. Every write, or batch of writes, is one durable transaction; a
// busy timeout lets several copies of the program write side by side.
class SqliteStore final : public SettingsStore {
  public:
    // Opens (creating as needed) ${XDG_CONFIG_HOME:-$HOME/.config}/SW_PACEDECK/settings.sqlite3.
    static std::string defaultPath();
    // How long a write waits for another program's transaction before it is reported.
    static constexpr int busyTimeoutMs = 1500;
    explicit SqliteStore(const std::string& path);
    ~SqliteStore() override;
    SqliteStore(const SqliteStore&) = delete;
    SqliteStore& operator=(const SqliteStore&) = delete;

    bool isOpen() const { return db_ != nullptr; }
    const std::string& error() const { return error_; }
    const std::string& path() const { return path_; }
    // Where a damaged settings file was moved at opening; empty when none was.
    const std::string& setAside() const { return setAside_; }
    // A program that may wait longer for another program's transaction (one without a window
    // to keep alive) says so: onWait runs when a write starts to wait.
    void waitForOthers(int timeoutMs, std::function<void()> onWait);

    StoredValue lookup(std::string_view section, std::string_view key) override;
    bool put(std::string_view section, std::string_view key, std::string_view value) override;
    std::string location(std::string_view section) const override;
    std::string failure() const override { return error_; }

  protected:
    bool beginWrites() override;
    bool commitWrites() override;
    void rollbackWrites() override;

  private:
    int openAndPrepare();
    static int busy(void* self, int count);
    bool exec(const char* sql);
    void close();

    std::string path_;
    std::string setAside_;
    sqlite3* db_ = nullptr;
    std::string error_;
    int busyTimeout_ = busyTimeoutMs;
    std::function<void()> onWait_;
    std::chrono::steady_clock::time_point waitStarted_;
};

}  // namespace pd
