#include "main/FolderSizer.hpp"

#include <array>

#include "core/App.hpp"
#include "core/NumberFormat.hpp"
#include "main/MainWindow.hpp"

namespace pd {

namespace {
// Each line divides by 1000 once more than the one before it.
struct Unit {
    TextBox MainWindow::*box;
    std::string_view mask;
    std::string_view suffix;
};
constexpr std::array<Unit, 6> units = {{
    {&MainWindow::FILE_SIZE_BYTES_TEXTBOX, "###,##0", " B  "},
    {&MainWindow::FILE_SIZE_KILOBYTES_TEXTBOX, "###,###,##0.###", " KB"},
    {&MainWindow::FILE_SIZE_MEGABYTES_TEXTBOX, "###,##0.###", " MB"},
    {&MainWindow::FILE_SIZE_GIGABYTES_TEXTBOX, "###,###,##0.###", " GB"},
    {&MainWindow::FILE_SIZE_TERABYTES_TEXTBOX, "###,##0.###,###", " TB"},
    {&MainWindow::FILE_SIZE_PETABYTES_TEXTBOX, "###,##0.###,###,###", " PB"},
}};

std::string unitLine(std::uint64_t bytes, std::size_t step, NumberSeparators separators) {
    const auto& unit = units.at(step);
    return formatMasked(bytes, static_cast<int>(3 * step), unit.mask, separators) + std::string(unit.suffix);
}
}  // namespace

FolderSizer::FolderSizer(MainWindow& w) : w_(w) {
    w_.FFS_RUN_1_BUTTON.onClick = [this] { w_.FOLDER_SIZER_BEFORE_TIMER.start(); };
    w_.FFS_RUN_2_BUTTON.onClick = [this] { w_.FOLDER_SIZER_AFTER_TIMER.start(); };
    w_.FOLDER_SIZER_BEFORE_TIMER.onTick = [this] {
        measure(w_.FFS_RUN_1_BUTTON, w_.BC_FOLDER_SIZE_BEFORE, w_.FOLDER_SIZER_BEFORE_TIMER, bytesBefore_);
    };
    w_.FOLDER_SIZER_AFTER_TIMER.onTick = [this] {
        measure(w_.FFS_RUN_2_BUTTON, w_.BC_FOLDER_SIZE_AFTER, w_.FOLDER_SIZER_AFTER_TIMER, bytesAfter_);
    };
}

void FolderSizer::measure(Button& button, TextBox& result, Timer& timer, std::optional<std::uint64_t>& kept) {
    button.setEnabled(false);
    auto& platform = w_.app().platform();
    const auto& folder = w_.BLOCKCHAIN_HOME_TEXTBOX.text();
    // A folder that cannot be measured says so; a partial sum would be a wrong number.
    const auto bytes = folder.empty() ? std::nullopt : platform.folderSize(folder);
    kept = bytes;
    if (bytes) {
        showUnits(*bytes);
        // The six lines joined with the line end, none after the last.
        std::string text;
        for (std::size_t step = 0; step < units.size(); ++step) {
            if (step > 0) text += w_.app().profile().lineEnd;
            text += (w_.*units.at(step).box).text();
        }
        result.setText(text);
    } else {
        for (const auto& unit : units) (w_.*unit.box).setText("");
        result.setText(unreadableText(folder));
    }
    button.setEnabled(true);
    timer.stop();
}

void FolderSizer::showUnits(std::uint64_t bytes) {
    auto& platform = w_.app().platform();
    const NumberSeparators separators{platform.thousandsSeparator(), platform.decimalSeparator()};
    for (std::size_t step = 0; step < units.size(); ++step)
        (w_.*units.at(step).box).setText(unitLine(bytes, step, separators));
}

std::string FolderSizer::unreadableText(const std::string& folder) const {
    if (folder.empty()) return "!!! NO BLOCKCHAIN FOLDER SET !!!";
    if (!w_.app().platform().exists(folder)) return "!!! FOLDER NOT FOUND: " + folder + " !!!";
    return "!!! FOLDER NOT READABLE: " + folder + " !!!";
}

}  // namespace pd
