#pragma once
#include <string>

#include "core/SettingsStore.hpp"

namespace pd::win32 {

// The settings in the current user's registry: one key per section under
// HKEY_CURRENT_USER\Software\SW_PACEDECK, one string value (REG_SZ) per setting. A key is
// made by the first write to it; nothing is ever deleted.
class RegistryStore final : public SettingsStore {
  public:
    // `parent` is the key below HKEY_CURRENT_USER that holds the sections.
    explicit RegistryStore(std::string parent = "Software\\" + std::string(application));

    StoredValue lookup(std::string_view section, std::string_view key) override;
    bool put(std::string_view section, std::string_view key, std::string_view value) override;
    // "HKEY_CURRENT_USER\Software\SW_PACEDECK\BTC"
    std::string location(std::string_view section) const override;
    // The registry is always there: a key that cannot be read or written is told per key.
    bool isOpen() const { return true; }
    // Why the last write failed.
    const std::string& error() const { return error_; }

  private:
    std::string parent_;
    std::string error_;
};

}  // namespace pd::win32
