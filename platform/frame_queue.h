// A backend's message queue that counts frames: messages posted now come out
// first in, first out; scheduled ones are held until a given number of frames
// have run. A frame is counted each time the queue is asked for a message and
// has none, which is when the engine's loop runs a frame. Just before that,
// once a frame, a hook may look at the frames run so far and post more (a
// key, a quit), which come out before the frame runs.
#pragma once

#include <deque>
#include <functional>
#include <map>

#include "platform/platform.h"

namespace platform {

class FrameQueue {
public:
    void Post(const Message& message) { queue.push_back(message); }

    // Delivered once `frame` frames have run (0, or one already run: now).
    void Schedule(int frame, const Message& message) {
        if (frame <= framesRun)
            queue.push_back(message);
        else
            scheduled.emplace(frame, message);
    }

    // The next message; false when there is none, and a frame is counted.
    bool Take(Message& out, const std::function<void(int framesDone)>& beforeFrame) {
        if (queue.empty() && beforeFrame && beforeFrameAskedFor != framesRun) {
            beforeFrameAskedFor = framesRun;
            beforeFrame(framesRun);
        }
        if (queue.empty()) {
            // The loop is about to run a frame: release what is due after it.
            ++framesRun;
            const auto end = scheduled.upper_bound(framesRun);
            for (auto it = scheduled.begin(); it != end; ++it) queue.push_back(it->second);
            scheduled.erase(scheduled.begin(), end);
            return false;
        }
        out = queue.front();
        queue.pop_front();
        return true;
    }

    int FramesRun() const { return framesRun; }

private:
    std::deque<Message> queue;
    std::multimap<int, Message> scheduled;  // by frame; the same frame keeps its order
    int framesRun = 0;
    int beforeFrameAskedFor = -1;  // framesRun when the hook last ran
};

}  // namespace platform
