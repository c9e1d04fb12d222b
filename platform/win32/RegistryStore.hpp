#pragma once
#include <string>
#include <vector>

#include "core/SettingsStore.hpp"

namespace pd::win32 {

// The settings in the current user's registry: one key per section under
// HKEY_CURRENT_USER\Software\SW_PACEDECK, one string value (REG_SZ) per setting. A key is
// made by the first write to it; nothing is ever deleted.
//
// The registry keeps each value whole, but not several together (Wine has no transacted
// registry calls), so a batch of writes is journalled: the whole batch is first written as
// one value of the parent key, then each setting, then the journal is removed. A program
// killed in between leaves the journal, and the next store opened on that parent key puts
// the batch in place before anything is read: a Save lands whole or not at all.
class RegistryStore final : public SettingsStore {
  public:
    // `parent` is the key below HKEY_CURRENT_USER that holds the sections.
    explicit RegistryStore(std::string parent = "Software\\" + std::string(application));

    StoredValue lookup(std::string_view section, std::string_view key) override;
    bool put(std::string_view section, std::string_view key, std::string_view value) override;
    // "HKEY_CURRENT_USER\Software\SW_PACEDECK\BTC"
    std::string location(std::string_view section) const override;
    std::string failure() const override { return error_; }
    // The registry is always there: a key that cannot be read or written is told per key.
    bool isOpen() const { return true; }
    // Why the last write failed.
    const std::string& error() const { return error_; }
    // The name of the journal value of a batch being written by this program.
    static constexpr std::string_view journalPrefix = "SAVE IN PROGRESS ";

  protected:
    bool beginWrites() override;
    bool commitWrites() override;
    void rollbackWrites() override;

  private:
    struct Write {
        std::string section, key, value;
    };
    bool putNow(std::string_view section, std::string_view key, std::string_view value);
    // Finishes the batches that programs killed while writing them left in their journals.
    void finishJournalledBatches();
    bool apply(const std::vector<Write>& writes);

    std::string parent_;
    std::string error_;
    bool batching_ = false;
    std::vector<Write> pending_;
};

}  // namespace pd::win32
