// The game's whole state as one line of compact JSON, for tarvo-replay and
// tests: the frame flags, the view, the player, the three enemies, every
// photon pool's live photons in slot order, and the pick-up. Floats are
// printed with 9 significant digits, enough to read back the same float.
#pragma once

#include <string>

// State after the run() call with 0-based index `frame`.
std::string GameStateJson(int frame);
