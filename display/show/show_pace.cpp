#include "show_pace.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

double steadyNow()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void sleepUntilMoment(double moment)
{
    const double left = moment - steadyNow();
    if (left > 0)
        std::this_thread::sleep_for(std::chrono::duration<double>(left));
}

// Behind by more than this, the pace starts again from the step at hand.
constexpr double mostBehindSeconds = 0.1;
// The clock is read about this often at a fast pace, and every this many
// steps at none: reading it costs as much as a few steps.
constexpr double secondsBetweenReadings = 50e-6;
constexpr long long stepsBetweenReadingsUnpaced = 1024;

// The pace, kept on the thread that takes the steps: written by startPace and
// paceStep, read by paceStep. The schedule puts step n at scheduleStart + n *
// secondsPerStep.
struct Pace {
    double secondsPerStep;  // 0: no pace
    double scheduleStart;
    long long stepsScheduled;
    long long stepsBetweenReadings;
    long long stepsUntilReading;
    double nextFrame;
    double nextEvents;
    bool (*frame)();
    void (*events)();
};
Pace pace = {0, 0, 0, 1, 1, 0, 0, nullptr, nullptr};

void drawFrame(double now)
{
    if (!pace.frame())
        return;
    const double ended = showClock.now();
    pace.nextFrame = nextFrameDue(now, ended);
    pace.nextEvents = ended + 1 / framesPerSecond;
}

// A frame if one is due, else the events if they are.
void frameOrEvents(double now)
{
    if (now >= pace.nextFrame) {
        drawFrame(now);
    } else if (pace.events != nullptr && now >= pace.nextEvents) {
        pace.events();
        pace.nextEvents = showClock.now() + 1 / framesPerSecond;
    }
}

// The next moment frameOrEvents has something to do.
double nextCall()
{
    return pace.events != nullptr ? std::min(pace.nextFrame, pace.nextEvents) : pace.nextFrame;
}

}  // namespace

// Read by the pace; only tests point it elsewhere.
ShowClock showClock = {steadyNow, sleepUntilMoment};

void startPace(long long stepsPerSecond, bool (*frame)(), void (*events)())
{
    pace.events = events;
    pace.secondsPerStep = stepsPerSecond > 0 ? 1.0 / static_cast<double>(stepsPerSecond) : 0;
    pace.stepsScheduled = 0;
    pace.stepsBetweenReadings =
        stepsPerSecond > 0
            ? std::max(1LL, static_cast<long long>(static_cast<double>(stepsPerSecond) * secondsBetweenReadings))
            : stepsBetweenReadingsUnpaced;
    pace.stepsUntilReading = pace.stepsBetweenReadings;
    pace.frame = frame;
    const double now = showClock.now();
    drawFrame(now);
    pace.scheduleStart = showClock.now();
}

void paceStep()
{
    ++pace.stepsScheduled;
    if (--pace.stepsUntilReading > 0)
        return;
    pace.stepsUntilReading = pace.stepsBetweenReadings;
    double now = showClock.now();
    if (pace.secondsPerStep > 0) {
        double due = pace.scheduleStart + static_cast<double>(pace.stepsScheduled) * pace.secondsPerStep;
        if (now > due + mostBehindSeconds) {
            pace.scheduleStart = now - static_cast<double>(pace.stepsScheduled) * pace.secondsPerStep;
            due = now;
        }
        while (now < due) {
            if (now >= nextCall())
                frameOrEvents(now);
            else
                showClock.sleepUntil(std::min(due, nextCall()));
            now = showClock.now();
        }
    }
    frameOrEvents(now);
}

double nextFrameDue(double started, double ended)
{
    return std::max(started + 1 / framesPerSecond, ended + (ended - started));
}
