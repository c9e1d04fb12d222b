#include "core/FileSave.hpp"

#include <array>

#include "core/App.hpp"
#include "core/TextFile.hpp"

namespace pd {

namespace {

// Every file a Save writes: the node scripts, the mail scripts and the configuration file.
constexpr std::array files = {
    SavedFile{"SW_QT_COMMAND_TEXTBOX", Script::RunQt},
    SavedFile{"SW_D_COMMAND_TEXTBOX", Script::RunDaemon},
    SavedFile{"SWCLI_STOP_COMMAND_TEXTBOX", Script::RunCliStop},
    SavedFile{"GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX", Script::RunBlockcounter},
    SavedFile{"GETBLOCKCHAININFO_COMMAND_SETTINGS_TEXTBOX", Script::RunChainInfo},
    SavedFile{"GETCONNECTIONCOUNT_COMMAND_SETTINGS_TEXTBOX", Script::RunPeerCount},
    // The mail scripts and the configuration file hold passwords.
    SavedFile{"EMAIL_OUTPUT_START_COMMAND_TEXTBOX", Script::StartEmail, true},
    SavedFile{"EMAIL_OUTPUT_END_COMMAND_TEXTBOX", Script::EndReportEmail, true},
    SavedFile{"EMAIL_OUTPUT_ALERT_COMMAND_TEXTBOX", Script::StuckAlertEmail, true},
    SavedFile{"CONF_OUTPUT_TEXTBOX", std::nullopt, true},
};

// What the platform's own replace-by-rename leaves when it is cut short.
constexpr std::string_view writeEnding = ".pacedeck-new";

std::string stagedName(const std::string& target) {
    return target + std::string(FileSave::stagedEnding);
}

// The bytes of the file that holds this text: a script is one command line in the profile's
// script encoding; the configuration file is the text as it stands.
Outcome content(App& app, const SavedFile& file, const std::string& target, std::string_view text,
                std::string& bytes) {
    const auto whole = std::string(text) + app.profile().lineEnd;
    if (file.script) return textFileContent(app.platform(), app.profile(), target, whole, true, bytes);
    bytes = whole;
    return Outcome::success();
}

}  // namespace

std::string SavedFile::path(const HomeLayout& layout) const {
    return script ? layout.script(*script) : layout.cryptoConfig();
}

const SavedFile& savedFile(Script script) {
    for (const auto& file : files)
        if (file.script == script) return file;
    return files.back();  // every script a Save writes is in the table
}

const SavedFile& savedConfigFile() {
    return files.back();
}

FileSave::FileSave(App& app, std::string_view home) : app_(app), files_(app.profile(), home, app.exe()) {}

FileSave::~FileSave() {
    drop();
}

Outcome FileSave::stage(const SavedFile& file, std::string_view text) {
    const auto target = file.path(files_);
    std::string bytes;
    auto written = content(app_, file, target, text, bytes);
    if (written)
        written = app_.platform().writeFile(stagedName(target), bytes, file.script.has_value(), file.secret);
    if (!written) return written;
    staged_.push_back({&file, target, std::string(text)});
    return Outcome::success();
}

void FileSave::keep() {
    for (const auto& s : staged_) app_.writeSetting(app_.exe(), s.file->key, s.text);
}

Outcome FileSave::place() {
    Outcome outcome;
    for (const auto& s : staged_)
        if (auto moved = app_.platform().replaceFile(stagedName(s.target), s.target); !moved && outcome)
            outcome = moved;
    // One that could not be moved stays staged: the next start puts it in place.
    staged_.clear();
    return outcome;
}

void FileSave::drop() {
    for (const auto& s : staged_) app_.platform().removeFile(stagedName(s.target));
    staged_.clear();
}

Outcome FileSave::settle(App& app, std::string_view home) {
    const HomeLayout layout(app.profile(), home, app.exe());
    auto& platform = app.platform();
    Outcome outcome;
    for (const auto& file : files) {
        const auto target = file.path(layout);
        const auto staged = stagedName(target);
        for (const auto& half : {target + std::string(writeEnding), staged + std::string(writeEnding)})
            if (platform.exists(half)) platform.removeFile(half);
        auto bytes = platform.exists(staged) ? platform.readFile(staged) : std::nullopt;
        if (!bytes) continue;
        const auto text = app.store().lookup(app.exe(), file.key);
        std::string wanted;
        const bool kept = text.status == StoredValue::Status::Found &&
                          content(app, file, target, text.value, wanted) && wanted == *bytes;
        auto done = kept ? platform.replaceFile(staged, target) : platform.removeFile(staged);
        if (!done && outcome) outcome = done;
    }
    return outcome;
}

}  // namespace pd
