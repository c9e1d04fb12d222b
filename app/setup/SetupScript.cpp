#include "app/setup/SetupScript.hpp"

#include <cctype>

namespace pd::setup {

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

bool isName(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-') return false;
    return true;
}

// A value in double quotes, with its escapes; nullopt names what is wrong in `why`.
std::optional<std::string> unquote(std::string_view quoted, std::string& why) {
    std::string out;
    for (std::size_t i = 1; i < quoted.size(); ++i) {
        char c = quoted[i];
        if (c == '"') {
            if (i + 1 != quoted.size()) {
                why = "text after the closing quote";
                return std::nullopt;
            }
            return out;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == quoted.size()) break;
        switch (quoted[i]) {
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                why = std::string("unknown escape \\") + quoted[i] + " (use \\n, \\r, \\t, \\\" or \\\\)";
                return std::nullopt;
        }
    }
    why = "the closing quote is missing";
    return std::nullopt;
}

}  // namespace

SetupScript parseSetupScript(std::string_view text) {
    SetupScript script;
    int number = 0;
    bool inSection = false;
    auto fail = [&](std::string message) {
        script.error = SetupError{number, std::move(message)};
        return script;
    };
    while (!text.empty()) {
        ++number;
        auto end = text.find('\n');
        auto raw = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        auto line = trim(raw);
        if (line.empty() || line.front() == '#') continue;

        if (line.front() == '[') {
            if (line.back() != ']') return fail("a section reads [WINDOW_NAME]");
            auto name = trim(line.substr(1, line.size() - 2));
            if (!isName(name)) return fail("\"" + std::string(name) + "\" is not a window name");
            script.lines.push_back({SetupLine::Kind::Section, number, std::string(name), ""});
            inSection = true;
            continue;
        }

        auto eq = line.find('=');
        if (eq == std::string_view::npos)
            return fail("expected NAME = value, press = BUTTON or [WINDOW_NAME]");
        auto name = trim(line.substr(0, eq));
        auto value = trim(line.substr(eq + 1));
        if (!inSection) return fail("a [WINDOW_NAME] section must come first");
        if (!isName(name)) return fail("\"" + std::string(name) + "\" is not an element name");

        std::string v(value);
        if (!value.empty() && value.front() == '"') {
            std::string why;
            auto unquoted = unquote(value, why);
            if (!unquoted) return fail("bad quoted value: " + why);
            v = *unquoted;
        }
        if (name == "press") {
            if (!isName(v)) return fail("press needs a button name");
            script.lines.push_back({SetupLine::Kind::Press, number, v, ""});
        } else {
            script.lines.push_back({SetupLine::Kind::Set, number, std::string(name), v});
        }
    }
    return script;
}

}  // namespace pd::setup
