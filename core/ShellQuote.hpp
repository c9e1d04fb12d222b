#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "core/Profile.hpp"

namespace pd {

// Quoting by what the text is quoted for. Each kind of line quotes differently, so each
// has its own names:
// - sh (shQuoted, and the script-line helpers under the POSIX profile): single quotes around
//   the whole word ('\'' for a quote inside);
// - a line of a batch file, run by cmd through `call` (the script-line helpers under the
//   Windows profile): double quotes around the whole word; a quote inside becomes "" and the
//   backslashes before it or before the closing quote are doubled; "%" becomes "%%%%" because
//   the batch file and then `call` each halve it; "^" is placed between closing and reopening
//   quotes as "^^", since `call` doubles a caret inside quotes. Delayed expansion ("!") is off
//   in batch files unless the user's registry turns it on, so "!" is passed as it is;
// - a command line that cmd runs itself (cmd /c, the command-line helpers under the Windows
//   profile): double quotes around the whole word, a quote inside as "" as above; "%" cannot be
//   escaped there, so it stands outside the quotes as "%" with the quotes closed before it and
//   opened after it: every name between two "%" then begins and ends with a quote, which no
//   variable's name does, so nothing is expanded. No `call` reads the line again, so a caret
//   stays as it is between the quotes; cmd runs these lines with delayed expansion off.
// The script-line helpers return their text unchanged when the shell would pass it on as it
// is, so ordinary paths and options read exactly as typed; only a text the shell would split,
// expand or act on is quoted.

// One argument in a script line (a batch file's or sh's): the program receives `word` exactly.
std::string scriptLineWord(ShellKind shell, std::string_view word);
// The text in single quotes for sh whatever it holds ('\'' for a quote inside).
std::string shQuoted(std::string_view text);
// One argument in a script line that always stands between quotes, even where the shell would
// take it bare (an empty value stays an empty argument): double quotes wherever the shell
// leaves their content alone, else quoted as scriptLineWord quotes it.
std::string scriptLineQuotedWord(ShellKind shell, std::string_view word);
// The target of an output redirection in a script line.
std::string scriptLineRedirectTarget(ShellKind shell, std::string_view path);
// The program a script line runs, always in quotes: double quotes as typed wherever the shell
// leaves them alone (cmd reads the program path up to the closing quote, without escapes).
std::string scriptLineProgram(ShellKind shell, std::string_view path);

// One argument in a command line the platform's shell runs itself (cmd /c, sh -c): the program
// receives `word` exactly; a word the shell would pass on as it is stands as typed.
std::string commandLineWord(ShellKind shell, std::string_view word);
// The program a command line runs, always in quotes.
std::string commandLineProgram(ShellKind shell, std::string_view path);

// The words /bin/sh makes of a command line written with the functions above: quotes and
// the backslashes they need are taken away; nothing is expanded. The words end at the
// first operator outside quotes (a redirection, a pipe, a list).
std::vector<std::string> posixShellWords(std::string_view line);

}  // namespace pd
