#include "core/ShellQuote.hpp"

#include <algorithm>
#include <cctype>

namespace pd {

namespace {

bool posixPlain(char c) {
    auto u = static_cast<unsigned char>(c);
    if (u >= 0x80) return true;  // bytes of UTF-8 letters are ordinary to the shell
    if (std::isalnum(u)) return true;
    return std::string_view("_@%+=:,./-").find(c) != std::string_view::npos;
}

// Inside double quotes sh still expands $, ` and \ and ends at ".
std::string posixQuoted(std::string_view text) {
    if (text.find_first_of("$`\"\\") == std::string_view::npos) return "\"" + std::string(text) + "\"";
    return shQuoted(text);
}

std::string posixWord(std::string_view word) {
    if (!word.empty() && std::all_of(word.begin(), word.end(), posixPlain)) return std::string(word);
    return shQuoted(word);
}

// Characters that cmd acts on outside quotes, or that split a program's arguments.
bool cmdSpecial(char c, std::string_view extra) {
    auto u = static_cast<unsigned char>(c);
    if (u < 0x20) return true;
    return std::string_view(" \"&|<>^()%").find(c) != std::string_view::npos ||
           extra.find(c) != std::string_view::npos;
}

bool cmdPlain(std::string_view text, std::string_view extra) {
    return !text.empty() &&
           std::none_of(text.begin(), text.end(), [&](char c) { return cmdSpecial(c, extra); });
}

// Where cmd reads a line: in a batch file, by way of `call`, or as its own command line.
enum class CmdLine { BatchCall, Command };

// Quoted for the runtime's splitting: "" for a quote inside, backslashes doubled before a
// quote; "%" and "^" as the header tells for each kind of line.
std::string cmdQuotedWord(std::string_view word, CmdLine line) {
    const bool batch = line == CmdLine::BatchCall;
    std::string out = "\"";
    std::size_t backslashes = 0;
    auto flushBackslashes = [&](std::size_t times) {
        out.append(backslashes * times, '\\');
        backslashes = 0;
    };
    for (char c : word) {
        switch (c) {
            case '\\':
                ++backslashes;
                break;
            case '"':
                // The runtime reads 2n backslashes and "" inside quotes as n backslashes and
                // one quote; cmd sees its quote state unchanged.
                flushBackslashes(2);
                out += "\"\"";
                break;
            case '^':
                flushBackslashes(batch ? 2 : 1);
                out += batch ? "\"^^\"" : "^";
                break;
            case '%':
                flushBackslashes(batch ? 1 : 2);
                out += batch ? "%%%%" : "\"%\"";
                break;
            default:
                flushBackslashes(1);
                out += c;
        }
    }
    flushBackslashes(2);
    return out + "\"";
}

// cmd reads the program's path up to the closing quote, without escapes: only "%" and "^" need
// their forms for the kind of line.
std::string cmdProgram(std::string_view path, CmdLine line) {
    const bool batch = line == CmdLine::BatchCall;
    std::string out = "\"";
    for (char c : path) {
        if (c == '%')
            out += batch ? "%%%%" : "\"%\"";
        else if (c == '^' && batch)
            out += "\"^^\"";
        else
            out += c;
    }
    return out + "\"";
}

}  // namespace

std::string shQuoted(std::string_view text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

std::string scriptLineWord(ShellKind shell, std::string_view word) {
    if (shell == ShellKind::PosixSh) return posixWord(word);
    if (cmdPlain(word, "")) return std::string(word);
    return cmdQuotedWord(word, CmdLine::BatchCall);
}

std::string scriptLineQuotedWord(ShellKind shell, std::string_view word) {
    if (shell == ShellKind::PosixSh) return posixQuoted(word);
    return cmdQuotedWord(word, CmdLine::BatchCall);
}

std::string scriptLineRedirectTarget(ShellKind shell, std::string_view path) {
    if (shell == ShellKind::PosixSh) return posixWord(path);
    // cmd opens the file itself, after its first pass and before `call` sees the line:
    // only that pass's "%%" applies, and ";", "," and "=" would end the file name.
    if (cmdPlain(path, ";,=")) return std::string(path);
    std::string out = "\"";
    for (char c : path) out += c == '%' ? std::string("%%") : std::string(1, c);
    return out + "\"";
}

std::string scriptLineProgram(ShellKind shell, std::string_view path) {
    if (shell == ShellKind::PosixSh) return posixQuoted(path);
    return cmdProgram(path, CmdLine::BatchCall);
}

std::string commandLineWord(ShellKind shell, std::string_view word) {
    if (shell == ShellKind::PosixSh) return posixWord(word);
    // cmd parts words at ";", "," and "=" as at a blank.
    if (cmdPlain(word, ";,=")) return std::string(word);
    return cmdQuotedWord(word, CmdLine::Command);
}

std::string commandLineProgram(ShellKind shell, std::string_view path) {
    if (shell == ShellKind::PosixSh) return posixQuoted(path);
    return cmdProgram(path, CmdLine::Command);
}

std::vector<std::string> posixShellWords(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\'') {
            const auto end = line.find('\'', i + 1);
            word.append(line.substr(i + 1, end == std::string_view::npos ? end : end - i - 1));
            i = end == std::string_view::npos ? line.size() : end;
            inWord = true;
        } else if (c == '"') {
            // Inside double quotes a backslash quotes only $ ` " \ and a line end.
            for (++i; i < line.size() && line[i] != '"'; ++i) {
                if (line[i] == '\\' && i + 1 < line.size() &&
                    std::string_view("$`\"\\\n").find(line[i + 1]) != std::string_view::npos)
                    ++i;
                word += line[i];
            }
            inWord = true;
        } else if (c == '\\' && i + 1 < line.size()) {
            word += line[++i];
            inWord = true;
        } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r' ||
                   std::string_view("<>|;&").find(c) != std::string_view::npos) {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
            if (c != ' ' && c != '\t') return words;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

}  // namespace pd
