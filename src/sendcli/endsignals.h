#pragma once

// SIGINT, SIGTERM and SIGHUP end torvika-send between frames, never inside one: the handler
// only notes the signal, and the sender looks at it after each frame. SIGPIPE is ignored, so
// output to a closed pipe is an error the program reports instead of a silent death.
namespace torvika::sendcli {

// Installs the handlers (without SA_RESTART, so a wait for input returns to look).
void catchEndSignals();

// The signal that asked the program to end, 0 while none has.
int endSignal();

} // namespace torvika::sendcli
