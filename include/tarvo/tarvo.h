/// @file
/// Everything a game on Tarvo uses, in one include: the engine object
/// `Tarvo` (start-up, the frame, drawing, text, keys and mouse), `Image`,
/// `TiffImage` with `LoadTiff` and `Save`, `File`, `ByteOrder`,
/// `TextBuffer`, the game's own settings (`GameSetting`), the debug log, the pixel format (`Rgb8From565`), sound
/// effects, the data folders, the key codes and window messages (namespace
/// `platform`), and the version.
///
/// A game defines two functions, which the engine's entry point calls:
/// `initialize()` once at start-up (it calls `Tarvo.Initialize`) and `run()`
/// once a frame, and may describe itself beside them with a `TarvoGame`
/// (its name, title, size, help, version, options, and the actions that the
/// keyboard and a game controller play; base/game_info.h).
/// No SDL header comes with it.
#pragma once

#include <tarvo/version.h>

#include "base/game_info.h"
#include "base/pixel_format.h"
#include "engine/audio.h"
#include "engine/debug_log.h"
#include "engine/game_settings.h"
#include "engine/init_order.h"
#include "engine/startup_status.h"
#include "engine/windows_dx.h"
#include "file/byte_order.h"
#include "file/data_path.h"
#include "file/file.h"
#include "file/text_buffer.h"
#include "image/image.h"
#include "image/tiff_image.h"
#include "platform/platform.h"
