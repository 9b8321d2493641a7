#pragma once

namespace tessary::cli {

// Each command takes the arguments after its name and returns the exit code.
int runInfo(int argc, char** argv);
int runConvert(int argc, char** argv);
int runMerge(int argc, char** argv);
int runBatch(int argc, char** argv);
int runAdjust(int argc, char** argv);

} // namespace tessary::cli
