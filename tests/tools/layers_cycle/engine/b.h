// The other half: named from the root, as the sources name headers.
#pragma once

#include "file/a.h"
