#include "cli/command_line.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace tessary::cli {

std::optional<int> parseCommandLine(CLI::App& app, int argc, char** argv)
{
    // CLI11 takes the arguments last first.
    std::vector<std::string> arguments(argv, argv + argc);
    std::reverse(arguments.begin(), arguments.end());
    try {
        app.parse(arguments);
    } catch (const CLI::CallForHelp&) {
        std::fputs(app.help().c_str(), stdout);
        return 0;
    } catch (const CLI::ParseError& e) {
        return commandLineError(app, e.what());
    }
    return std::nullopt;
}

int commandLineError(const CLI::App& app, const std::string& text)
{
    const std::string& name = app.get_name();
    std::fprintf(stderr, "%s: %s\nRun \"%s --help\" for the options.\n", name.c_str(), text.c_str(), name.c_str());
    return kExitUsageError;
}

CLI::Validator notAnOption()
{
    return CLI::Validator(
        [](std::string& value) -> std::string {
            if (value.empty() || value[0] != '-')
                return {};
            return "\"" + value + "\" looks like an option, not a name (a name starting with '-' can be given as ./" + value + ")";
        },
        "");
}

} // namespace tessary::cli
