#include "platform/frame_pacer.h"

int64_t FramePacer::FrameStart(int64_t now) {
    if (!started || now - next > period) {
        started = true;
        next = now + period;
        return now;
    }
    // Here next <= now + period: the last frame waited until its due time
    // at the latest, so the schedule leads the clock by a period at most.
    const int64_t start = next > now ? next : now;
    // Up to one period late, the schedule keeps its step and the next frame
    // is due that much sooner; that is what keeps the average rate exact.
    next += period;
    return start;
}
