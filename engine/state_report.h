// The state report: one line of text describing a game's state after a
// frame, for whoever watches the program run from outside (the web page hands
// it to the page's own tests). The engine knows nothing of what is in it: a
// game that can describe itself installs its report once, before the entry
// point runs; without one there is nothing to show.
#pragma once

#include <string>

// The state after the run() call with 0-based index `frame`.
using StateReportFn = std::string (*)(int frame);

// Installs the game's report (null removes it).
void SetStateReport(StateReportFn report);
// The installed report, or null.
StateReportFn StateReport();
