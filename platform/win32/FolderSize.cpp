#include "platform/win32/FolderSize.hpp"

#include <windows.h>

#include "platform/win32/WideText.hpp"

namespace pd::win32 {

namespace {
bool isDotEntry(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

// Adds the sizes below `folder` (a "\\?\" path, so its length is not limited).
bool sumBelow(const std::wstring& folder, std::uint64_t& total) {
    WIN32_FIND_DATAW data;
    // The basic level skips the short 8.3 names; large fetch asks for bigger listing buffers.
    const std::wstring base = folder.back() == L'\\' ? folder : folder + L"\\";
    HANDLE find = ::FindFirstFileExW((base + L"*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                     nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        if (isDotEntry(data.cFileName)) continue;
        const bool folderEntry = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        const bool reparse = data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
        if (folderEntry && !reparse) {
            ok = sumBelow(base + data.cFileName, total);
        } else {
            total += (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        }
    } while (ok && ::FindNextFileW(find, &data));
    if (ok && ::GetLastError() != ERROR_NO_MORE_FILES) ok = false;
    ::FindClose(find);
    return ok;
}
}  // namespace

std::optional<std::uint64_t> sumFileSizes(const std::string& folder) {
    std::wstring root = longPath(folder);
    // "C:\" keeps its backslash; any other folder is joined below without one.
    while (root.size() > 1 && root.back() == L'\\' && root[root.size() - 2] != L':') root.pop_back();
    const DWORD attributes = ::GetFileAttributesW(root.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    std::uint64_t total = 0;
    if (!sumBelow(root, total)) return std::nullopt;
    return total;
}

}  // namespace pd::win32
