// The signals that ask a program to end (SIGTERM from a logout or kill,
// SIGINT from Ctrl+C, SIGHUP from a closed terminal), turned into a readable
// descriptor so the message loop can end the program as its Exit does.
#pragma once

namespace ob::kernel {

// From now on the three signals only make the returned descriptor readable.
// -1 when the descriptor cannot be made. Calling it again returns the same.
int CatchTerminationSignals();
// The last of the signals that arrived (0 when none), emptying the descriptor.
int TakeTerminationSignal();
// The descriptor is closed; the handlers stay, doing nothing, until the
// process ends, so a late signal cannot cut the exit sequence short.
void ReleaseTerminationSignals();

}  // namespace ob::kernel
