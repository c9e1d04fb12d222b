#pragma once
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pd {

// What a read of one key found. A key that could not be read is not a missing key: its
// default must never be written back over the value that is still stored.
struct StoredValue {
    enum class Status { Found, Absent, Unreadable };
    Status status = Status::Absent;
    std::string value;  // when Found
    std::string error;  // when Unreadable: why, in plain words

    static StoredValue found(std::string v) { return {Status::Found, std::move(v), {}}; }
    static StoredValue absent() { return {}; }
    static StoredValue unreadable(std::string why) { return {Status::Unreadable, {}, std::move(why)}; }
};

// The settings store: text values by section and key under the application "SW_PACEDECK".
// A missing key gives the caller's default; nothing is ever deleted.
class SettingsStore {
  public:
    static constexpr std::string_view application = "SW_PACEDECK";
    static constexpr std::string_view sharedEmailSection = "PACEDECK-SHARED-EMAIL-SETTINGS";

    virtual ~SettingsStore() = default;
    virtual StoredValue lookup(std::string_view section, std::string_view key) = 0;
    // False when the value could not be made durable; the caller reports it.
    virtual bool put(std::string_view section, std::string_view key, std::string_view value) = 0;
    // Where a user finds these settings (shown by the help window).
    virtual std::string location(std::string_view section) const = 0;
    // Why the last write or batch failed, in plain words; empty when the store cannot tell.
    virtual std::string failure() const { return {}; }

    // The stored value, or nothing when it is absent or could not be read.
    std::optional<std::string> get(std::string_view section, std::string_view key) {
        auto v = lookup(section, key);
        if (v.status != StoredValue::Status::Found) return std::nullopt;
        return std::move(v.value);
    }
    std::string read(std::string_view section, std::string_view key, std::string_view fallback) {
        auto v = get(section, key);
        return v ? *v : std::string(fallback);
    }
    // Inside a batch a write that fails, or any write after it, spoils the whole batch.
    bool write(std::string_view section, std::string_view key, std::string_view value) {
        if (depth_ > 0 && spoiled_) return false;
        if (put(section, key, value)) return true;
        if (depth_ > 0) spoiled_ = true;
        return false;
    }

    // Writes that land together or not at all, so that a kill in the middle of a Save
    // leaves the previous Save whole. Batches nest; only the outermost one commits.
    class Batch {
      public:
        explicit Batch(SettingsStore& store) : store_(store) { store_.openBatch(); }
        ~Batch() {
            if (!closed_) store_.closeBatch(false);
        }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        // False when the writes could not be made durable: the store then keeps what it had.
        bool commit() {
            closed_ = true;
            return store_.closeBatch(true);
        }

      private:
        SettingsStore& store_;
        bool closed_ = false;
    };

  protected:
    // A store that can group writes overrides these; by default every write stands alone
    // (the batch is then only as whole as the store allows).
    virtual bool beginWrites() { return true; }
    virtual bool commitWrites() { return true; }
    virtual void rollbackWrites() {}

  private:
    void openBatch() {
        if (depth_++ == 0) spoiled_ = !beginWrites();
    }
    bool closeBatch(bool keep) {
        if (!keep) spoiled_ = true;
        if (--depth_ > 0) return !spoiled_;
        if (!spoiled_ && commitWrites()) return true;
        rollbackWrites();
        return false;
    }

    int depth_ = 0;
    bool spoiled_ = false;
};

// In-memory store for tests; it also records the order of writes and which of them went
// in one batch.
class MemoryStore final : public SettingsStore {
  public:
    StoredValue lookup(std::string_view section, std::string_view key) override {
        if (unreadable.contains(std::string(key))) return StoredValue::unreadable(unreadableWhy);
        auto it = values_.find({std::string(section), std::string(key)});
        if (it == values_.end()) return StoredValue::absent();
        return StoredValue::found(it->second);
    }
    bool put(std::string_view section, std::string_view key, std::string_view value) override {
        values_[{std::string(section), std::string(key)}] = std::string(value);
        log_.emplace_back(std::string(section), std::string(key));
        if (inBatch_ && !batches_.empty()) batches_.back().push_back(std::string(key));
        return true;
    }
    std::string location(std::string_view section) const override {
        return "memory:" + std::string(application) + "/" + std::string(section);
    }
    // Keys written since the last clearLog(), in order, for one section.
    std::vector<std::string> writtenKeys(std::string_view section) const {
        std::vector<std::string> keys;
        for (auto& [s, k] : log_)
            if (s == section) keys.push_back(k);
        return keys;
    }
    void clearLog() {
        log_.clear();
        batches_.clear();
    }
    // The keys of each committed batch since the last clearLog(), in order.
    const std::vector<std::vector<std::string>>& batches() const { return batches_; }
    // When set, a batch's commit fails (a full disk, a held lock) and is undone.
    bool commitFails = false;
    // Keys whose reads fail (a busy or damaged store), with the reason given.
    std::set<std::string> unreadable;
    std::string unreadableWhy = "database disk image is malformed";

  protected:
    bool beginWrites() override {
        before_ = values_;
        inBatch_ = true;
        batches_.emplace_back();
        return true;
    }
    bool commitWrites() override {
        inBatch_ = false;
        return !commitFails;
    }
    void rollbackWrites() override {
        inBatch_ = false;
        values_ = before_;
        if (!batches_.empty()) batches_.pop_back();
    }

  private:
    std::map<std::pair<std::string, std::string>, std::string> values_;
    std::map<std::pair<std::string, std::string>, std::string> before_;
    std::vector<std::pair<std::string, std::string>> log_;
    std::vector<std::vector<std::string>> batches_;
    bool inBatch_ = false;
};

}  // namespace pd
