/// @file
/// Static construction order under the path games have always included; it
/// lives in base/ beside the debug log that needs it.
#pragma once

#include "../base/init_order.h"
