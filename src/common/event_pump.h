#pragma once
// The window's event pump and clock, as the player and the long-running
// handlers need them. Handlers interleave only where events are pumped.

#include <chrono>

namespace snipwell {

class EventPump {
public:
    virtual ~EventPump() = default;

    // Processes the window events that are pending, then returns.
    // Throws ProgramEnded when the window was closed while pumping.
    virtual void pumpEvents() = 0;

    // Processes pending events; when there are none, sleeps until one arrives
    // or `timeout` has passed. Lets waits and loops stay responsive without
    // spinning a core. Throws ProgramEnded like pumpEvents().
    virtual void waitForEvents(std::chrono::milliseconds timeout) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;

    // Seconds on a clock that never jumps back (not wall-clock time), so a
    // wait that spans midnight or a clock change still ends on time.
    virtual double seconds() = 0;
};

}  // namespace snipwell
