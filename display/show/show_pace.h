// The pace of the show: so many steps a second, and between them the frames
// of the screen's rate, however many steps fall between two frames.
#ifndef SHOW_PACE_H
#define SHOW_PACE_H

// Steps a second unless --pace says otherwise: a 30 x 20 maze's 599 passages
// are carved in three seconds.
constexpr long long defaultShowPace = 200;
// The fastest pace --pace takes as a number; unlimitedShowPace (the word
// "unlimited") is as fast as the machine goes.
constexpr long long fastestShowPace = 1000000000;
constexpr long long unlimitedShowPace = 0;

// The screen's rate: frames are drawn no more often than this.
constexpr double framesPerSecond = 60;

// The clock the pace keeps, in seconds, and the wait until a moment on it:
// the steady clock and the thread's sleep, unless a test stands in for them.
struct ShowClock {
    double (*now)();
    void (*sleepUntil)(double moment);
};
extern ShowClock showClock;

// Starts keeping pace: stepsPerSecond steps a second (unlimitedShowPace:
// none), and frame() called whenever a frame is due, the first one at once;
// a frame() that returns false could not be had now, and is tried again at
// the next step.
// Between frames that take long to draw, events() (unless nullptr) is called
// as often as frames would come at the screen's rate, so that the window
// hears its user as promptly as it would without the show. Called on the
// thread that takes the steps, before the first.
void startPace(long long stepsPerSecond, bool (*frame)(), void (*events)() = nullptr);

// One step taken: returns once the step is due, having called frame()
// whenever one fell due meanwhile. A pace the steps fall far behind (the
// machine too slow for it, or busy elsewhere) starts again from the step at
// hand rather than rushing the steps that follow.
void paceStep();

// When the next frame is due after one drawn from started to ended: a frame
// of the screen's rate after it started, and never before as long again as it
// took has gone by, so that drawing takes at most half of the time.
double nextFrameDue(double started, double ended);

#endif
