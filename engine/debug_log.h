/// @file
/// The debug log under the path games have always included; it lives in
/// base/ so that every layer can write to it.
#pragma once

#include "../base/debug_log.h"
