// The shooter's page says each frame's whole state, as tarvo-replay prints
// it: the page's tests compare the two frame by frame.
#include "platform/web/web_platform.h"
#include "tools/replay/state_report.h"

namespace {

[[maybe_unused]] const bool reported = (platform::SetPageFrameReport(GameStateJson), true);

}  // namespace
