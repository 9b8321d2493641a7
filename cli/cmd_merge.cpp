#include "cli/commands.h"

#include <cstdio>

namespace tessary::cli {

// Placeholder until the merge engine is in.
int runMerge(int, char**)
{
    std::fputs("tessary-cli: merge is not available in this build\n", stderr);
    return 2;
}

} // namespace tessary::cli
