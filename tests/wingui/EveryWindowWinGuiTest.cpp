#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "WinGuiHarness.hpp"
#include "common/EveryWindowWalk.hpp"
#include "common/WeeksOfRuns.hpp"
#include "core/Catalogue.hpp"
#include "platform/win32/WideText.hpp"
#include "ui/win32/TextFit.hpp"

namespace pd::test {
namespace {

std::wstring classOf(HWND h) {
    wchar_t cls[64] = {};
    ::GetClassNameW(h, cls, 64);
    return cls;
}

std::wstring textOf(HWND h) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(h)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(h, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring withoutMnemonics(const std::wstring& text) {
    std::wstring out;
    for (std::size_t i = 0; i < text.size(); ++i)
        out += text[i] == L'&' && i + 1 < text.size() ? text[++i] : text[i];
    return out;
}

// The width a line of text takes in the control's own font.
int textWidth(HWND control, const std::wstring& text) {
    HDC dc = ::GetDC(control);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE s{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &s);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return s.cx;
}

// The room a control leaves for its text: the whole client width but for a push button's
// edges, a check box's box, an edit field's margins.
int roomForText(HWND control) {
    RECT client{};
    ::GetClientRect(control, &client);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(control, GWL_STYLE));
    if (classOf(control) == L"Button") {
        const DWORD type = style & BS_TYPEMASK;
        if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX)
            return client.right - ::GetSystemMetrics(SM_CXMENUCHECK);
        return client.right - 2 * ::GetSystemMetrics(SM_CXEDGE);
    }
    if (classOf(control) == L"Edit") {
        const auto margins = static_cast<DWORD>(::SendMessageW(control, EM_GETMARGINS, 0, 0));
        return client.right - LOWORD(margins) - HIWORD(margins);
    }
    return client.right;
}

std::filesystem::path screenshotFolder() {
    wchar_t own[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, own, MAX_PATH);
    return std::filesystem::path(own).parent_path() / L"screens";
}

// The window's client area as a 24-bit BMP file.
bool saveScreenshot(HWND window, const std::filesystem::path& file) {
    RECT client{};
    ::GetClientRect(window, &client);
    const int w = client.right;
    const int h = client.bottom;
    HDC windowDc = ::GetDC(window);
    HDC memory = ::CreateCompatibleDC(windowDc);
    HBITMAP bitmap = ::CreateCompatibleBitmap(windowDc, w, h);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, w, h, windowDc, 0, 0, SRCCOPY);
    ::SelectObject(memory, old);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = w;
    header.biHeight = h;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const int stride = (w * 3 + 3) & ~3;
    std::vector<char> pixels(static_cast<std::size_t>(stride) * h);
    ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(h), pixels.data(),
                reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(window, windowDc);
    BITMAPFILEHEADER fileHeader{};
    fileHeader.bfType = 0x4D42;  // "BM"
    fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
    fileHeader.bfSize = static_cast<DWORD>(fileHeader.bfOffBits + pixels.size());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&fileHeader), sizeof fileHeader);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}

// What a user opens at the default size must be readable there: every control inside the
// window, every caption whole, every value whole or whole in its tool tip.
class EveryWindow : public ::testing::Test {
  protected:
    WinGuiHarness h;
    std::set<std::string> seen;

    void SetUp() override {
        // A copy that has run before, with the values its fields normally hold.
        auto put = [&](const char* key, const std::string& value) { h.store.write("WINGUI", key, value); };
        put("MULTILOADER_LAST_RUN_TEXTBOX", "!!! COMPLETED SUCCESSFULLY !!!");
        put("PACEDECK_HOME_TEXTBOX", "C:\\Users\\tester\\SYNCWARD-ROOT\\PACEDECK");
        put("BLOCKCHAIN_HOME_TEXTBOX", "C:\\Users\\tester\\AppData\\Roaming\\Bitcoin");
        put("CRYPTO_NAME_TEXTBOX", "BITCOIN");
        h.platform.files[HomeLayout(h.app.profile(), "C:\\Users\\tester\\SYNCWARD-ROOT\\PACEDECK", "WINGUI")
                             .runHistory()] = weeksOfRuns();
        put("QT_NAME_TEXTBOX", "bitcoin-qt.exe");
        std::filesystem::create_directories(screenshotFolder());
    }

    // Presses the opener's button as a user does and gives the window it opened.
    Window& open(Window& opener, const char* button) {
        HWND control = h.control(opener, button);
        EXPECT_NE(control, nullptr) << opener.className() << "." << button;
        const auto before = h.app.openWindows().size();
        ::SendMessageW(control, BM_CLICK, 0, 0);
        h.pump();
        EXPECT_EQ(h.app.openWindows().size(), before + 1)
            << opener.className() << "." << button << " opened nothing";
        return *h.app.openWindows().back();
    }

    void checkUsable(Window& w) {
        h.pump();
        const auto& cls = w.className();
        seen.insert(cls);
        auto& view = h.view(w);
        HWND window = view.hwnd();
        ASSERT_TRUE(::IsWindowVisible(window)) << cls;
        RECT client{};
        ::GetClientRect(window, &client);
        const auto& g = catalogue::geometryOf(cls);
        const double tpp = view.twipsPerPixel();
        EXPECT_NEAR(client.right, g.width / tpp, 1.0) << cls << " needs a wider window";
        EXPECT_NEAR(client.bottom, g.height / tpp, 1.0) << cls << " needs a taller window";

        std::set<HWND> values;
        for (auto* e : w.elements())
            if (e->kind() == ElementKind::TextBox || e->kind() == ElementKind::Label)
                if (HWND c = view.controlOf(*e)) values.insert(c);
        for (HWND c = ::GetWindow(window, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
            if (!::IsWindowVisible(c)) continue;
            RECT r{};
            ::GetWindowRect(c, &r);
            ::MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&r), 2);
            const std::string text = win32::utf8(textOf(c));
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom)
                << cls << ": \"" << text << "\" is cut off by the window's edge";
            checkText(cls, c, values.count(c) != 0, view.toolTips());
        }
        EXPECT_TRUE(saveScreenshot(window, screenshotFolder() / (win32::wide(cls) + L".bmp"))) << cls;
    }

    // Captions are the window's words and always fit; a value that does not fit is whole
    // in its tool tip.
    void checkText(const std::string& cls, HWND c, bool value, HWND tips) {
        const auto style = static_cast<DWORD>(::GetWindowLongPtrW(c, GWL_STYLE));
        const bool edit = classOf(c) == L"Edit";
        if (edit && ((style & ES_MULTILINE) || ::SendMessageW(c, EM_GETPASSWORDCHAR, 0, 0))) return;
        const bool wraps = classOf(c) == L"Static" && (style & SS_TYPEMASK) == SS_LEFT;
        const std::wstring text = classOf(c) == L"Button" ? withoutMnemonics(textOf(c)) : textOf(c);
        if (text.empty() || wraps) return;  // a wrapping notice has the lines it needs
        const int needed = textWidth(c, text);
        if (needed <= roomForText(c)) return;
        if (value)
            EXPECT_NE(win32ui::toolTipOf(tips, c).find(text), std::wstring::npos)
                << cls << ": \"" << win32::utf8(text) << "\" is cut and not whole in its tool tip";
        else
            ADD_FAILURE() << cls << ": the caption \"" << win32::utf8(text) << "\" is cut (" << needed
                          << " px of text in " << roomForText(c) << " px)";
    }
};

TEST_F(EveryWindow, EachWindowShowsAllItsControlsAtItsDefaultSize) {
    auto& main = h.start();
    walkEveryWindow(
        h.app, main, [this](Window& opener, const char* button) -> Window& { return open(opener, button); },
        [this](Window& w) { checkUsable(w); });

    EXPECT_EQ(seen.size(), catalogue::geometries().size());
}

}  // namespace
}  // namespace pd::test
