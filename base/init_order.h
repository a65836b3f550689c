/// @file
/// Static construction order of the program's own globals.
///
/// The engine object must exist before the game's globals, and the debug log
/// opens last so that it is closed first at exit. Priorities make that order
/// hold whatever order the linker puts the object files in; destruction runs
/// in reverse. Lower numbers construct first.
#pragma once

#define TARVO_INIT_ENGINE __attribute__((init_priority(1000)))
#define TARVO_INIT_GAME __attribute__((init_priority(2000)))
#define TARVO_INIT_LOG __attribute__((init_priority(3000)))
