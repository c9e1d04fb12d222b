#include "platform/win32/WideText.hpp"

#include <windows.h>

namespace pd::win32 {

std::wstring wide(std::string_view text) {
    if (text.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string utf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                        nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                          nullptr);
    return out;
}

std::wstring longPath(std::string_view path) {
    std::wstring w = wide(path);
    if (w.rfind(L"\\\\?\\", 0) == 0) return w;
    const DWORD n = ::GetFullPathNameW(w.c_str(), 0, nullptr, nullptr);
    if (n == 0) return w;
    std::wstring full(n, L'\0');
    const DWORD used = ::GetFullPathNameW(w.c_str(), n, full.data(), nullptr);
    if (used == 0 || used >= n) return w;
    full.resize(used);
    if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::string errorText(unsigned long code) {
    wchar_t* buffer = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = n && buffer ? std::wstring(buffer, n) : std::wstring();
    if (buffer) ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    if (text.empty()) return "error " + std::to_string(code);
    return utf8(text);
}

std::string lastError(const std::string& what) {
    return what + ": " + errorText(::GetLastError());
}

namespace {
// The first character of the text that the code page cannot hold, found one at a time.
std::string firstUnmappable(std::wstring_view text, unsigned int codePage) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t len = (IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size()) ? 2 : 1;
        BOOL usedDefault = FALSE;
        char buf[8];
        ::WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data() + i, static_cast<int>(len), buf,
                              sizeof buf, nullptr, &usedDefault);
        if (usedDefault) return utf8(text.substr(i, len));
        i += len - 1;
    }
    return "?";
}
}  // namespace

CodePageText toCodePage(std::string_view text, unsigned int codePage) {
    const std::wstring w = wide(text);
    if (utf8(w) != text) return {std::nullopt, "the text is not valid UTF-8"};
    if (w.empty()) return {std::string(), {}};
    // A system set to UTF-8 holds every character (and refuses the used-default flag).
    if (codePage == CP_UTF8) return {std::string(text), {}};
    // No best fit: "€" must not quietly become "E", nor "ł" become "l".
    BOOL usedDefault = FALSE;
    const int n = ::WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()),
                                        nullptr, 0, nullptr, &usedDefault);
    if (usedDefault)
        return {std::nullopt, "the character \"" + firstUnmappable(w, codePage) +
                                  "\" cannot be written in this system's code page (" +
                                  std::to_string(codePage) + ")"};
    if (n <= 0)
        return {std::nullopt, lastError("cannot convert the text to code page " + std::to_string(codePage))};
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()), out.data(), n,
                          nullptr, nullptr);
    return {std::move(out), {}};
}

}  // namespace pd::win32
