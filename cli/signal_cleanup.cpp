#include "cli/signal_cleanup.h"

#include "image/temporary_files.h"

#include <csignal>

namespace tessary::cli {

namespace {
constexpr int kEndingSignals[] = { SIGINT, SIGTERM, SIGHUP };

void onEndingSignal(int signal)
{
    removeTemporaryFiles();
    // The signal is held until this handler returns; it then ends the process as if no handler
    // had ever been installed.
    struct sigaction original { };
    original.sa_handler = SIG_DFL;
    sigemptyset(&original.sa_mask);
    sigaction(signal, &original, nullptr);
    raise(signal);
}
}

void removeTemporariesOnSignals()
{
    for (const int signal : kEndingSignals) {
        struct sigaction previous { };
        if (sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN)
            continue;
        struct sigaction action { };
        action.sa_handler = onEndingSignal;
        sigemptyset(&action.sa_mask);
        // Another ending signal waits while the files are removed.
        for (const int other : kEndingSignals)
            sigaddset(&action.sa_mask, other);
        sigaction(signal, &action, nullptr);
    }
}

} // namespace tessary::cli
