#pragma once
#include <CLI/CLI.hpp>

#include <optional>
#include <string>

namespace tessary::cli {

// The exit code of a command line the tool cannot run: a wrong option, a missing argument, a
// layout file refused before any work.
inline constexpr int kExitUsageError = 2;

// Parses a command's arguments (those after its name) with `app`, which is named
// "tessary-cli COMMAND". An exit code when the command ends here: 0 after the help was shown,
// kExitUsageError after what was wrong was said on stderr.
std::optional<int> parseCommandLine(CLI::App& app, int argc, char** argv);

// Says on stderr what is wrong with the command line and how to see the options; returns
// kExitUsageError.
int commandLineError(const CLI::App& app, const std::string& text);

// For an option that takes a file or folder: a value that starts with '-' is an option given
// where the value belongs ("-o --quiet"), refused rather than taken as a name. A file whose
// name starts with '-' is still reached as ./-name.
CLI::Validator notAnOption();

} // namespace tessary::cli
