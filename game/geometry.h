// Angles and distances as the game's rules measure them.
//
// A distance is the float sum of the squared offsets, its square root taken
// in double. The rules use it in two ways, and keep both: where the distance
// also divides the offset into a unit vector (an enemy's aim, the push
// between ships, a photon's knock-back) it is stored into a float first, and
// the check against the limit sees that float, the very value the division
// uses; where only the check needs it (an enemy's photon against the player,
// the player against the pick-up) the double is compared as it is. Near a
// limit the two can differ, so changing one would change which hits count.
#pragma once

#include <cmath>

// Turns degrees into radians: 3.141592 / 180, not the exact pi / 180.
constexpr double kDegreesToRadians = 3.141592 / 180;

// The distance of an offset, for a check alone.
inline double Distance(float dx, float dy) { return std::sqrt(static_cast<double>(dx * dx + dy * dy)); }

// The distance of an offset rounded to float, for a check whose distance
// then divides the offset.
inline float DistanceAsFloat(float dx, float dy) { return static_cast<float>(Distance(dx, dy)); }
