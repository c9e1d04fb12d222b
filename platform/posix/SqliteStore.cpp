#include "platform/posix/SqliteStore.hpp"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace pd {

namespace {
bool makeFolder(const std::string& path, mode_t mode) {
    if (::mkdir(path.c_str(), mode) == 0) return true;
    return errno == EEXIST;
}

std::string dateStamp() {
    std::time_t t = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&t, &local);
    char buf[32] = {};
    std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &local);
    return buf;
}

// Why a write failed, in the words a user acts on, with SQLite's own.
std::string writeFailure(sqlite3* db, int rc) {
    const std::string detail = sqlite3_errmsg(db);
    switch (rc & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return "the settings file is locked by another program (" + detail + ")";
        case SQLITE_READONLY:
        case SQLITE_PERM:
            return "the settings file is read-only (" + detail + ")";
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return "the settings file is damaged (" + detail + ")";
        default:
            return detail;
    }
}

struct Statement {
    sqlite3_stmt* stmt = nullptr;
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr); }
    ~Statement() { sqlite3_finalize(stmt); }
    void bind(int i, std::string_view text) {
        sqlite3_bind_text(stmt, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
};
}  // namespace

std::string SqliteStore::defaultPath() {
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.config";
    else
        base = ".config";
    return base + "/" + std::string(application) + "/settings.sqlite3";
}

SqliteStore::SqliteStore(const std::string& path) : path_(path) {
    auto slash = path.find_last_of('/');
    if (slash != std::string::npos) {
        auto folder = path.substr(0, slash);
        auto parent = folder.substr(0, folder.find_last_of('/'));
        if (!parent.empty() && parent != folder) makeFolder(parent, 0700);
        if (!makeFolder(folder, 0700)) {
            error_ = "cannot create " + folder + ": " + std::strerror(errno);
            return;
        }
        ::chmod(folder.c_str(), 0700);
    }
    int rc = openAndPrepare();
    if (rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT) {
        // A damaged file is kept aside under a dated name, never written over; the program
        // starts from a fresh one and says where the old one went.
        close();
        setAside_ = path_ + ".damaged-" + dateStamp();
        if (::rename(path_.c_str(), setAside_.c_str()) != 0) {
            error_ = "the settings file is damaged and cannot be moved aside: " +
                     std::string(std::strerror(errno));
            setAside_.clear();
            return;
        }
        for (const char* side : {"-wal", "-shm"})
            ::rename((path_ + side).c_str(), (setAside_ + side).c_str());
        openAndPrepare();
    }
}

int SqliteStore::openAndPrepare() {
    int rc = sqlite3_open_v2(path_.c_str(), &db_,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        error_ = db_ ? sqlite3_errmsg(db_) : "cannot open " + path_;
        close();
        return rc;
    }
    ::chmod(path_.c_str(), 0600);
    // Another copy's write takes milliseconds; a program that holds the file longer must not
    // hold up the window, so a write waits only a moment and is then reported.
    sqlite3_busy_handler(db_, &SqliteStore::busy, this);
    char* err = nullptr;
    const char* setup =
        "PRAGMA journal_mode=WAL;"
        "PRAGMA synchronous=FULL;"
        "CREATE TABLE IF NOT EXISTS settings(section TEXT NOT NULL, key TEXT NOT NULL, value TEXT NOT NULL,"
        " PRIMARY KEY(section, key));";
    rc = sqlite3_exec(db_, setup, nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        error_ = err ? err : "cannot prepare the settings table";
        sqlite3_free(err);
        close();
    }
    return rc;
}

int SqliteStore::busy(void* self, int count) {
    auto& store = *static_cast<SqliteStore*>(self);
    const auto now = std::chrono::steady_clock::now();
    if (count == 0) {
        store.waitStarted_ = now;
        if (store.onWait_) store.onWait_();
    }
    if (now - store.waitStarted_ >= std::chrono::milliseconds(store.busyTimeout_)) return 0;
    sqlite3_sleep(count < 10 ? 2 : 20);
    return 1;
}

void SqliteStore::waitForOthers(int timeoutMs, std::function<void()> onWait) {
    busyTimeout_ = timeoutMs;
    onWait_ = std::move(onWait);
}

void SqliteStore::close() {
    if (db_) sqlite3_close(db_);
    db_ = nullptr;
}

SqliteStore::~SqliteStore() {
    close();
}

StoredValue SqliteStore::lookup(std::string_view section, std::string_view key) {
    if (!db_) return StoredValue::unreadable(error_.empty() ? "the settings file is not open" : error_);
    Statement s(db_, "SELECT value FROM settings WHERE section = ?1 AND key = ?2");
    s.bind(1, section);
    s.bind(2, key);
    const int rc = sqlite3_step(s.stmt);
    if (rc == SQLITE_DONE) return StoredValue::absent();
    if (rc != SQLITE_ROW) return StoredValue::unreadable(sqlite3_errmsg(db_));
    auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s.stmt, 0));
    auto size = sqlite3_column_bytes(s.stmt, 0);
    return StoredValue::found(std::string(text ? text : "", static_cast<std::size_t>(size)));
}

bool SqliteStore::put(std::string_view section, std::string_view key, std::string_view value) {
    if (!db_) return false;
    Statement s(db_,
                "INSERT INTO settings(section, key, value) VALUES(?1, ?2, ?3)"
                " ON CONFLICT(section, key) DO UPDATE SET value = excluded.value");
    s.bind(1, section);
    s.bind(2, key);
    s.bind(3, value);
    auto rc = sqlite3_step(s.stmt);
    if (rc != SQLITE_DONE) {
        error_ = writeFailure(db_, rc);
        return false;
    }
    return true;
}

bool SqliteStore::exec(const char* sql) {
    if (!db_) return false;
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) return true;
    error_ = writeFailure(db_, rc);
    return false;
}

// The write lock is taken at the start, so that no write of the batch can find the store busy
// half-way through.
bool SqliteStore::beginWrites() {
    return exec("BEGIN IMMEDIATE");
}

bool SqliteStore::commitWrites() {
    return exec("COMMIT");
}

void SqliteStore::rollbackWrites() {
    if (db_ && !sqlite3_get_autocommit(db_)) {
        const auto why = error_;  // the reason the batch failed, not the rollback's
        exec("ROLLBACK");
        error_ = why;
    }
}

std::string SqliteStore::location(std::string_view section) const {
    return path_ + " (section " + std::string(section) + ")";
}

}  // namespace pd
