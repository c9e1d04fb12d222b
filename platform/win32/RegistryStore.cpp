#include "platform/win32/RegistryStore.hpp"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

#include "platform/win32/WideText.hpp"

namespace pd::win32 {

namespace {
struct Key {
    HKEY h = nullptr;
    ~Key() {
        if (h) ::RegCloseKey(h);
    }
};

std::string missingOrText(std::string_view what, LSTATUS status) {
    return std::string(what) + ": " + errorText(static_cast<unsigned long>(status));
}

// A journal is the batch's texts in order (section, key, value, ...), each as its length in
// UTF-16 units (four bytes, lowest first) and its units, after a mark of the format.
constexpr char journalMark[4] = {'P', 'D', 'J', '1'};

void appendText(std::string& out, std::string_view text) {
    const std::wstring w = wide(text);
    const auto n = static_cast<std::uint32_t>(w.size());
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((n >> shift) & 0xFF);
    out.append(reinterpret_cast<const char*>(w.data()), w.size() * sizeof(wchar_t));
}

std::optional<std::string> takeText(std::string_view& in) {
    if (in.size() < 4) return std::nullopt;
    std::uint32_t n = 0;
    for (int i = 3; i >= 0; --i) n = (n << 8) | static_cast<unsigned char>(in[static_cast<std::size_t>(i)]);
    in.remove_prefix(4);
    if (n > in.size() / sizeof(wchar_t)) return std::nullopt;
    std::wstring w(n, L'\0');
    std::memcpy(w.data(), in.data(), n * sizeof(wchar_t));
    in.remove_prefix(n * sizeof(wchar_t));
    return utf8(w);
}

std::wstring ownJournalName() {
    return wide(std::string(RegistryStore::journalPrefix) + std::to_string(::GetCurrentProcessId()));
}
}  // namespace

RegistryStore::RegistryStore(std::string parent) : parent_(std::move(parent)) {
    finishJournalledBatches();
}

StoredValue RegistryStore::lookup(std::string_view section, std::string_view key) {
    // Inside a batch its own writes are read back, as a transaction would.
    for (auto it = pending_.rbegin(); it != pending_.rend(); ++it)
        if (it->section == section && it->key == key) return StoredValue::found(it->value);
    const std::wstring path = wide(parent_ + "\\" + std::string(section));
    const std::string where = location(section) + "\\" + std::string(key);
    Key k;
    LSTATUS status = ::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &k.h);
    if (status == ERROR_FILE_NOT_FOUND) return StoredValue::absent();
    if (status != ERROR_SUCCESS) return StoredValue::unreadable(missingOrText(where, status));
    const std::wstring name = wide(key);
    // The value may grow between asking its size and reading it: ask again then.
    for (;;) {
        DWORD type = 0;
        DWORD bytes = 0;
        status = ::RegQueryValueExW(k.h, name.c_str(), nullptr, &type, nullptr, &bytes);
        if (status == ERROR_FILE_NOT_FOUND) return StoredValue::absent();
        if (status != ERROR_SUCCESS) return StoredValue::unreadable(missingOrText(where, status));
        if (type != REG_SZ) return StoredValue::unreadable(where + ": the value is not a text (REG_SZ)");
        std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD got = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        status =
            ::RegQueryValueExW(k.h, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) return StoredValue::unreadable(missingOrText(where, status));
        if (type != REG_SZ) return StoredValue::unreadable(where + ": the value is not a text (REG_SZ)");
        data.resize(got / sizeof(wchar_t));
        // Written with its terminating null; a value written by another program may lack it.
        if (!data.empty() && data.back() == L'\0') data.pop_back();
        return StoredValue::found(utf8(data));
    }
}

bool RegistryStore::put(std::string_view section, std::string_view key, std::string_view value) {
    if (batching_) {
        pending_.push_back({std::string(section), std::string(key), std::string(value)});
        return true;
    }
    return putNow(section, key, value);
}

bool RegistryStore::putNow(std::string_view section, std::string_view key, std::string_view value) {
    const std::wstring path = wide(parent_ + "\\" + std::string(section));
    Key k;
    LSTATUS status = ::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                       KEY_SET_VALUE, nullptr, &k.h, nullptr);
    if (status != ERROR_SUCCESS) {
        error_ = missingOrText(location(section), status);
        return false;
    }
    const std::wstring data = wide(value);
    const auto bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    status = ::RegSetValueExW(k.h, wide(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                              bytes);
    if (status != ERROR_SUCCESS) {
        error_ = missingOrText(location(section) + "\\" + std::string(key), status);
        return false;
    }
    return true;
}

std::string RegistryStore::location(std::string_view section) const {
    return "HKEY_CURRENT_USER\\" + parent_ + "\\" + std::string(section);
}

bool RegistryStore::beginWrites() {
    batching_ = true;
    pending_.clear();
    return true;
}

void RegistryStore::rollbackWrites() {
    batching_ = false;
    pending_.clear();
}

bool RegistryStore::commitWrites() {
    batching_ = false;
    const auto writes = std::exchange(pending_, {});
    if (writes.empty()) return true;
    std::string journal(journalMark, sizeof journalMark);
    for (const auto& w : writes) {
        appendText(journal, w.section);
        appendText(journal, w.key);
        appendText(journal, w.value);
    }
    Key parent;
    LSTATUS status = ::RegCreateKeyExW(HKEY_CURRENT_USER, wide(parent_).c_str(), 0, nullptr,
                                       REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &parent.h, nullptr);
    const std::wstring name = ownJournalName();
    if (status == ERROR_SUCCESS)
        status = ::RegSetValueExW(parent.h, name.c_str(), 0, REG_BINARY,
                                  reinterpret_cast<const BYTE*>(journal.data()),
                                  static_cast<DWORD>(journal.size()));
    if (status != ERROR_SUCCESS) {
        error_ = missingOrText("HKEY_CURRENT_USER\\" + parent_, status);
        return false;
    }
    // From here the batch is kept: a kill before the journal is gone is finished at the next start.
    const bool whole = apply(writes);
    ::RegDeleteValueW(parent.h, name.c_str());
    return whole;
}

bool RegistryStore::apply(const std::vector<Write>& writes) {
    // What each key held before, to put back when a write fails half way.
    std::vector<StoredValue> before;
    for (const auto& w : writes) {
        before.push_back(lookup(w.section, w.key));
        if (before.back().status == StoredValue::Status::Unreadable) {
            error_ = before.back().error;
            return false;
        }
    }
    for (std::size_t i = 0; i < writes.size(); ++i) {
        if (putNow(writes[i].section, writes[i].key, writes[i].value)) continue;
        for (std::size_t j = i; j-- > 0;) {
            const auto& w = writes[j];
            if (before[j].status == StoredValue::Status::Found) {
                putNow(w.section, w.key, before[j].value);
            } else {
                Key k;
                if (::RegOpenKeyExW(HKEY_CURRENT_USER, wide(parent_ + "\\" + w.section).c_str(), 0,
                                    KEY_SET_VALUE, &k.h) == ERROR_SUCCESS)
                    ::RegDeleteValueW(k.h, wide(w.key).c_str());
            }
        }
        return false;
    }
    return true;
}

void RegistryStore::finishJournalledBatches() {
    Key parent;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, wide(parent_).c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                        &parent.h) != ERROR_SUCCESS)
        return;
    const std::wstring prefix = wide(journalPrefix);
    std::vector<std::pair<std::wstring, std::string>> journals;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256, type = 0, bytes = 0;
        const LSTATUS status =
            ::RegEnumValueW(parent.h, i, name, &nameLength, nullptr, &type, nullptr, &bytes);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS || type != REG_BINARY) continue;
        const std::wstring valueName(name, nameLength);
        if (valueName.rfind(prefix, 0) != 0) continue;
        std::string data(bytes, '\0');
        DWORD got = bytes;
        if (::RegQueryValueExW(parent.h, valueName.c_str(), nullptr, nullptr,
                               reinterpret_cast<BYTE*>(data.data()), &got) == ERROR_SUCCESS)
            journals.emplace_back(valueName, data.substr(0, got));
    }
    for (const auto& [name, data] : journals) {
        std::string_view in = data;
        std::vector<Write> writes;
        bool readable = in.substr(0, sizeof journalMark) == std::string_view(journalMark, sizeof journalMark);
        in.remove_prefix(std::min(in.size(), sizeof journalMark));
        while (readable && !in.empty()) {
            auto section = takeText(in), key = takeText(in), value = takeText(in);
            readable = section && key && value;
            if (readable) writes.push_back({*section, *key, *value});
        }
        // A journal that cannot be read or put in place is dropped: the batch is then absent.
        if (readable) apply(writes);
        ::RegDeleteValueW(parent.h, name.c_str());
    }
}

}  // namespace pd::win32
