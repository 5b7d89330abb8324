#pragma once

// SIGINT, SIGTERM and SIGHUP (Ctrl+C, `kill`, a closed terminal) for twr-convert: the
// temporary files of the outputs being written are removed and the program ends with 128 +
// the signal's number, instead of dying with the temporaries left beside the outputs.
namespace StopSignals {

// Call first in main, before any thread starts: the signals are blocked in every thread and
// taken by a watcher thread of their own.
void install();

} // namespace StopSignals
