#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* const kUsage = R"(Usage: tessary-cli COMMAND [ARGUMENTS]

Tessary's image merging without windows.

Options:
  --help       show this help and exit
  --version    show the version and exit
)";

}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "--version") {
        std::printf("tessary-cli %s\n", TESSARY_VERSION);
        return 0;
    }
    std::fprintf(stderr, "tessary-cli: unknown command \"%s\"\n\n%s", command.c_str(), kUsage);
    return 2;
}
