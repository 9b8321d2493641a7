// Whatever a command throws ends it with a message and exit code 1, never an abort.
#include "cli/internal_error.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

namespace tessary {
namespace {

TEST(CliInternalError, AnythingThrownBecomesAMessageAndExitCodeOne)
{
    struct Case {
        const char* what;
        std::function<int()> command;
        const char* says;
    };
    const Case cases[] = {
        { "std::exception", [] () -> int { throw std::runtime_error("the helper gave up"); },
            "tessary-cli: internal error: the helper gave up\n" },
        { "no memory", [] () -> int { throw std::bad_alloc(); }, "tessary-cli: internal error: out of memory\n" },
        { "not an exception", [] () -> int { throw 7; }, "tessary-cli: internal error: an unknown exception\n" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ::testing::internal::CaptureStderr();
        const int code = cli::runReportingExceptions(c.command);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.says);
        EXPECT_EQ(code, 1);
    }
    // A command that throws nothing keeps its own exit code and says nothing more.
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(cli::runReportingExceptions([] { return 2; }), 2);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

} // namespace
} // namespace tessary
