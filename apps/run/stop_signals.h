// Ctrl+C (SIGINT) and SIGTERM ask a run to stop at its next frame boundary instead of killing
// it, so that the telemetry, the log and the summary keep what was flown.
#pragma once

namespace app {

// Catches SIGINT and SIGTERM from now on; forgets any signal caught before.
void watch_stop_signals();
// Gives SIGINT and SIGTERM back their default action.
void stop_watching_signals();
// The signal caught since watch_stop_signals, or 0.
int stop_signal();
// The signal's name, "SIGINT" or "SIGTERM".
const char* stop_signal_name(int signal);

}  // namespace app
