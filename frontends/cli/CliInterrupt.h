#pragma once

namespace oskel::cli {

// Ctrl+C (SIGINT) and SIGTERM. The first one is a request to stop, which
// the command honours at its next safe point: the progress window's Cancel
// during a transfer (the transfer stops at the next packet boundary), no
// further port tried during a connect, Cancel for every later question.
// The link is then closed as usual and the command ends with kExitInterrupted.
// A second one ends the process at once with the same status.
//
// Installed without SA_RESTART, so a blocking wait is woken by the signal.
// SIGPIPE is ignored as well.
void InstallInterruptHandlers();

bool Interrupted();

// For tests: as if the signal had arrived, and back to none.
void RequestInterruptForTest();
void ResetInterruptForTest();

} // namespace oskel::cli
