/// @file
/// Start-up status codes. Each start-up step writes an odd code when it fails
/// and the next even code when it passes; INIT_OK means the engine is ready.
/// The two window-size refusals have codes of their own at the end.
#pragma once

enum StartupStatus : int {
    NO_INIT = 0,
    INITCLASS_FAILED = 1,
    INITCLASS_OK = 2,
    INITWINTEMP_FAILED = 3,
    INITWINTEMP_OK = 4,
    INITWINREAL_FAILED = 5,
    INITWINREAL_OK = 6,
    SHOWWIN_FAILED = 7,
    SHOWWIN_OK = 8,
    DDSTART_FAILED = 9,
    DDSTART_OK = 10,
    DDSETLEVEL_FAILED = 11,
    DDSETLEVEL_OK = 12,
    SETMODE_FAILED = 13,
    SETMODE_OK = 14,
    FRONTSURFACE_FAILED = 15,
    FRONTSURFACE_OK = 16,
    BACKSURFACE_FAILED = 17,
    BACKSURFACE_OK = 18,
    INIT_OK = 19,
    LOCK_FAILED = 20,
    REQSIZE_FAILED = 21,
    BPP_FAILED = 22,
};
