#pragma once
#include <cstdio>
#include <exception>
#include <new>

namespace tessary::cli {

inline constexpr int kExitInternalError = 1;

// Runs `command` and returns its exit code; anything it throws is said on stderr as an internal
// error and ends it with kExitInternalError. The exception unwinds on its way here, so saves
// that did not finish remove their temporary files, which an abort would leave behind.
template <class Command>
int runReportingExceptions(Command&& command) noexcept
{
    try {
        return command();
    } catch (const std::bad_alloc&) {
        std::fputs("tessary-cli: internal error: out of memory\n", stderr);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tessary-cli: internal error: %s\n", e.what());
    } catch (...) {
        std::fputs("tessary-cli: internal error: an unknown exception\n", stderr);
    }
    return kExitInternalError;
}

} // namespace tessary::cli
