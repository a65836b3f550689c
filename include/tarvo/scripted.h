/// @file
/// A game's headless tests: the engine on the scripted backend
/// (`platform::ScriptedPlatform`: keys by frame number, presented frames kept
/// as hashes or pixels, message boxes and log lines recorded) and key scripts
/// (`ParseKeyScript`). Link `Tarvo::scripted` instead of `Tarvo::engine`; the
/// test's own main() installs the backend with `platform::SetCurrent` and
/// calls the entry point `WinMain`.
#pragma once

#include <tarvo/tarvo.h>

#include "engine/key_script.h"
#include "platform/scripted/scripted_platform.h"
