#include "CliInterrupt.h"

#include "CliOptions.h"
#include "terminal/TerminalText.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace oskel::cli {
namespace {

volatile std::sig_atomic_t g_interrupts = 0;
volatile std::sig_atomic_t g_linkOpen = 0;

// Built before any handler runs, written with one async-signal-safe call.
char g_message[64];
size_t g_messageLength = 0;

extern "C" void OnInterrupt(int)
{
    if (g_interrupts == 0) {
        g_interrupts = 1;
        return;
    }
    g_interrupts = 2;
    if (g_linkOpen != 0)
        return; // the serial table ends the run once the packet under way is out
    (void)!::write(STDERR_FILENO, g_message, g_messageLength);
    ::_exit(kExitInterrupted);
}

} // namespace

void InstallInterruptHandlers()
{
    const std::string message = std::string("\n") + kProgramName + ": interrupted\n";
    g_messageLength = std::min(message.size(), sizeof g_message);
    std::memcpy(g_message, message.data(), g_messageLength);

    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    // Output into a closed pipe (| head) must not end the run before the
    // link is closed: the write fails instead.
    signal(SIGPIPE, SIG_IGN);
}

bool Interrupted()
{
    return g_interrupts != 0;
}

bool InterruptedAgain()
{
    return g_interrupts > 1;
}

void SetLinkOpen(bool open)
{
    g_linkOpen = open ? 1 : 0;
}

void RequestInterruptForTest(int count)
{
    g_interrupts = count > 1 ? 2 : 1;
}

void ResetInterruptForTest()
{
    g_interrupts = 0;
    g_linkOpen = 0;
}

} // namespace oskel::cli
