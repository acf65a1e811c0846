#pragma once
// Ending a program's main loop on SIGINT and SIGTERM: the handlers only set
// a flag, which the loop reads once per pass, so the program closes down as
// it does on Escape. Shared by the windowed loops and the headless one.

// From now on SIGINT and SIGTERM set the stop flag. Call after SDL's
// start-up, which installs handlers of its own.
void catchStopSignals();
// Sets the stop flag (async-signal-safe).
void requestStop();
bool stopSignalled();
