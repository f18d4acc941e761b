#pragma once

namespace oskel::cli {

// Ctrl+C (SIGINT), SIGTERM and SIGHUP (the terminal closed), all alike. The
// first one is a request to stop, which the command honours at its next
// safe point: the progress window's Cancel during a transfer (the transfer
// stops at the next packet boundary), no further port tried during a
// connect, Cancel for every later question. The link is then closed as
// usual, "interrupted" is printed and the command ends with kExitInterrupted.
//
// A second one ends the process sooner, with the same message and status,
// but never in the middle of a packet: with no link open at once; with a
// link open as soon as the serial operation under way returns (see
// InterruptibleSerialOps), after the camera has been sent the close packet.
// Either way the camera is left ready for the next run.
//
// Installed without SA_RESTART, so a blocking wait is woken by the signal.
// SIGPIPE is ignored as well.
void InstallInterruptHandlers();

bool Interrupted();
bool InterruptedAgain();

// Kept up to date by the serial table: whether a second interrupt may end
// the process at once (no link open) or must leave that to the table.
void SetLinkOpen(bool open);

// For tests: as if the signal had arrived (once or twice), and back to none.
void RequestInterruptForTest(int count = 1);
void ResetInterruptForTest();

} // namespace oskel::cli
