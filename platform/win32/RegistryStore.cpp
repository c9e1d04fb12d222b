#include "platform/win32/RegistryStore.hpp"

#include <windows.h>

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
}  // namespace

RegistryStore::RegistryStore(std::string parent) : parent_(std::move(parent)) {}

StoredValue RegistryStore::lookup(std::string_view section, std::string_view key) {
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

}  // namespace pd::win32
