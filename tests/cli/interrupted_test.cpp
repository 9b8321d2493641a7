// Ends a running tessary-cli merge by a signal while its output is being written, and checks
// that it dies by that signal and leaves no temporary file and the old output behind.
#include "merge/merge_fixtures.h"
#include "support/codec_image_util.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace tessary {
namespace {

namespace fs = std::filesystem;
using testing::ScratchFolder;

// Started as a shell starts a command in the foreground: whatever this test runs under (a
// background job ignores SIGINT), the three signals have their default handling.
pid_t startCli(const std::vector<std::string>& arguments)
{
    std::vector<std::string> all { TESSARY_CLI_PATH };
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults, none;
    sigemptyset(&defaults);
    for (int s : { SIGINT, SIGTERM, SIGHUP })
        sigaddset(&defaults, s);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t child = -1;
    if (posix_spawn(&child, argv[0], nullptr, &attributes, argv.data(), environ) != 0)
        child = -1;
    posix_spawnattr_destroy(&attributes);
    return child;
}

std::vector<std::string> temporaryFilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().rfind(".tessary-", 0) == 0)
            names.push_back(entry.path().filename().string());
    return names;
}

TEST(CliInterrupted, EndsByTheSignalAndLeavesNoTemporaryFile)
{
    ScratchFolder folder;
    ASSERT_TRUE(testing::writeSolidImage(folder.file("picture.bmp"), 40, 30, { 10, 120, 230 }));
    // Over 4000 x 3000: a BMP target is written in its file from the start of the merge, any
    // other while it is encoded afterwards.
    std::ofstream(folder.file("layout.json"))
        << R"({"sources": [{"file": "picture.bmp", "scaleX": 102400, "scaleY": 102400, "rotation": 20}]})";
    const std::vector<uint8_t> old = { 'o', 'l', 'd' };

    struct Case {
        int signal;
        const char* out;
    };
    for (const Case& c : { Case { SIGINT, "out.bmp" }, Case { SIGTERM, "out.bmp" }, Case { SIGHUP, "out.bmp" },
             Case { SIGINT, "out.png" }, Case { SIGTERM, "out.png" }, Case { SIGHUP, "out.png" } }) {
        SCOPED_TRACE(std::string(strsignal(c.signal)) + ", " + c.out);
        const std::string out = folder.write(c.out, old);
        const pid_t child = startCli({ "merge", folder.file("layout.json"), "-o", out, "--quiet" });
        ASSERT_GT(child, 0);

        // Held still once its temporary file is there, so the signal surely comes mid-save.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (temporaryFilesIn(folder.file("")).empty() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        kill(child, SIGSTOP);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, WUNTRACED), child);
        ASSERT_TRUE(WIFSTOPPED(status)) << "the merge ended before it could be interrupted";
        const bool midSave = !temporaryFilesIn(folder.file("")).empty();
        kill(child, c.signal);
        kill(child, SIGCONT);
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(midSave) << "the merge ended before it could be interrupted";

        ASSERT_TRUE(WIFSIGNALED(status)) << "exit code " << WEXITSTATUS(status);
        EXPECT_EQ(WTERMSIG(status), c.signal);
        EXPECT_EQ(temporaryFilesIn(folder.file("")), std::vector<std::string> {});
        EXPECT_EQ(ScratchFolder::read(out), old);
        for (const std::string& left : temporaryFilesIn(folder.file("")))
            fs::remove(folder.file(left)); // so the next case waits for its own
    }
}

} // namespace
} // namespace tessary
