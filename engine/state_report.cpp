#include "engine/state_report.h"

namespace {
// Constant-initialised, so a game may install its report from a static
// initialiser of its own.
StateReportFn installedReport = nullptr;
}  // namespace

void SetStateReport(StateReportFn report) { installedReport = report; }

StateReportFn StateReport() { return installedReport; }
