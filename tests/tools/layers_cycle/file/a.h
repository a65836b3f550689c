// Half of a circle between two folders, for the layer check to find.
#pragma once

#include "../engine/b.h"
