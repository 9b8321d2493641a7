#include "cli/commands.h"

#include <cstdio>

namespace tessary::cli {

int runInfo(int, char**)
{
    std::fputs("tessary-cli: info is not available in this build\n", stderr);
    return 2;
}

int runConvert(int, char**)
{
    std::fputs("tessary-cli: convert is not available in this build\n", stderr);
    return 2;
}

} // namespace tessary::cli
