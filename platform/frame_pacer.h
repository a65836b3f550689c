// FramePacer: holds a frame loop to one frame a period on a clock it is given.
//
// Every speed in the game is per frame, so both playing backends pace frames
// to 60 a second with it: the SDL backend (platform/sdl/sdl_present.cpp, on
// the steady clock) and the web backend (platform/web/web_platform.cpp, on
// the page's clock). The decision is kept here, apart from either and from
// any real clock, so that it can be tested on a simulated one.
//
// The timer is always the floor: a present that waited for the display's
// refresh leaves little or nothing to wait; one that returned early (a faster
// display, a driver that does not wait, a hidden window) is topped up to the
// period. The schedule advances one period a frame from where it stood, so
// the rate does not drift with the sleeps' small overshoots; it never runs
// ahead of the clock by more than one period, so no wait is longer than one
// period; and a frame that starts more than a period late (a stall, a
// suspended process) starts the count afresh instead of hurrying to catch up.
//
// Times are nanoseconds on any monotonic clock. Depends on nothing.
#pragma once

#include <cstdint>

class FramePacer {
public:
    explicit FramePacer(int64_t periodNanos) : period(periodNanos) {}

    // Called as a frame begins, at clock time `now`. Returns the time to wait
    // until before the frame is drawn: `now` itself when there is no wait,
    // never later than now + one period. The caller waits until then.
    int64_t FrameStart(int64_t now);

    int64_t Period() const { return period; }

private:
    int64_t period;
    int64_t next = 0;  // when the next frame is due
    bool started = false;
};
