#pragma once
// Runs the built tessary-cli the way a shell script would.
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace tessary::testing {

struct CliOutcome {
    int exitCode = -1;
    std::string output; // stdout and stderr together
};

inline CliOutcome runCli(const std::string& arguments, const std::string& workingFolder = "")
{
    std::string command = std::string("'") + TESSARY_CLI_PATH + "' " + arguments + " 2>&1";
    if (!workingFolder.empty())
        command = "cd '" + workingFolder + "' && " + command;
    CliOutcome outcome;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return outcome;
    char buffer[512];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe))
        outcome.output.append(buffer, n);
    const int status = pclose(pipe);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

} // namespace tessary::testing
