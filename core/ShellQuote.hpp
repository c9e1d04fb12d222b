#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "core/Profile.hpp"

namespace pd {

// Quoting for the one-line scripts, by the shell that runs them. Each function returns its
// text unchanged when the shell would pass it on as it is, so ordinary paths and options
// read exactly as typed; only a text the shell would split, expand or act on is quoted.
//
// /bin/sh: single quotes around the whole word ('\'' for a quote inside).
// cmd (a `call` line in a batch file, the program's runtime splitting its own arguments):
// double quotes around the whole word; a quote inside becomes "" and the backslashes
// before it or before the closing quote are doubled; "%" becomes "%%%%" because the batch
// file and then `call` each halve it; "^" is placed between closing and reopening quotes as
// "^^", since `call` doubles a caret inside quotes. Delayed expansion ("!") is off in
// batch files unless the user's registry turns it on, so "!" is passed as it is.

// One argument of a command: the program receives `word` exactly.
std::string shellWord(ShellKind shell, std::string_view word);
// The text in single quotes for /bin/sh whatever it holds ('\'' for a quote inside).
std::string shellQuoted(std::string_view text);
// One argument that always stands between quotes, even where the shell would take it bare
// (an empty value stays an empty argument): double quotes wherever the shell leaves their
// content alone, else quoted as shellWord quotes it.
std::string shellQuotedWord(ShellKind shell, std::string_view word);
// The target of an output redirection.
std::string shellRedirectTarget(ShellKind shell, std::string_view path);
// The program to run, always in quotes: double quotes as typed wherever the shell leaves
// them alone (cmd reads the program path up to the closing quote, without escapes).
std::string shellProgram(ShellKind shell, std::string_view path);

// The words /bin/sh makes of a command line written with the functions above: quotes and
// the backslashes they need are taken away; nothing is expanded. The words end at the
// first operator outside quotes (a redirection, a pipe, a list).
std::vector<std::string> posixShellWords(std::string_view line);

}  // namespace pd
