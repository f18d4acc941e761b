#include "CliInterrupt.h"

#include "CliOptions.h"

#include <csignal>
#include <unistd.h>

namespace oskel::cli {
namespace {

volatile std::sig_atomic_t g_interrupts = 0;

extern "C" void OnInterrupt(int)
{
    if (g_interrupts > 0) {
        // Async-signal-safe only: end the progress line, then leave.
        (void)!::write(STDERR_FILENO, "\n", 1);
        ::_exit(kExitInterrupted);
    }
    g_interrupts = 1;
}

} // namespace

void InstallInterruptHandlers()
{
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // Output into a closed pipe (| head) must not end the run before the
    // link is closed: the write fails instead.
    signal(SIGPIPE, SIG_IGN);
}

bool Interrupted()
{
    return g_interrupts != 0;
}

void RequestInterruptForTest()
{
    g_interrupts = 1;
}

void ResetInterruptForTest()
{
    g_interrupts = 0;
}

} // namespace oskel::cli
