// The show's pace on a clock the test keeps: steps come at the pace asked
// for, frames at the screen's rate however many steps fall between them,
// drawing never takes more than half of the time, and a pace fallen far
// behind starts again rather than rushing.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "show_pace.h"

namespace {

// The test's clock: sleeping moves it on at once.
double fakeNow = 0;
double fakeTime() { return fakeNow; }
void fakeSleepUntil(double moment) { fakeNow = std::max(fakeNow, moment); }

std::vector<double> frameTimes;
double frameSeconds = 0;  // how long each frame takes to draw
bool drawFakeFrame()
{
    frameTimes.push_back(fakeNow);
    fakeNow += frameSeconds;
    return true;
}

class ShowPaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = showClock;
        showClock = ShowClock{fakeTime, fakeSleepUntil};
        fakeNow = 1000;
        frameTimes.clear();
        frameSeconds = 0.001;
    }
    void TearDown() override { showClock = saved; }

    // Steps each taking stepSeconds of work; returns the seconds they took.
    static double takeSteps(long long steps, double stepSeconds = 0)
    {
        const double start = fakeNow;
        for (long long i = 0; i < steps; ++i) {
            fakeNow += stepSeconds;
            paceStep();
        }
        return fakeNow - start;
    }

    ShowClock saved{};
};

}  // namespace

TEST_F(ShowPaceTest, StepsComeAtThePaceAndFramesAtTheScreensRate)
{
    startPace(200, drawFakeFrame);
    EXPECT_EQ(frameTimes.size(), 1u) << "the first frame is drawn at once";
    EXPECT_NEAR(takeSteps(999), 999 / 200.0, 0.01);
    EXPECT_NEAR(static_cast<double>(frameTimes.size()), 1 + 999 / 200.0 * framesPerSecond, 3);
    for (std::size_t i = 1; i < frameTimes.size(); ++i)
        EXPECT_GE(frameTimes[i] - frameTimes[i - 1], 1 / framesPerSecond - 1e-9);

    // A million steps a second: the clock is read every few steps, the pace kept all the same.
    frameTimes.clear();
    startPace(1000000, drawFakeFrame);
    EXPECT_NEAR(takeSteps(2000000), 2.0, 0.01);
    EXPECT_NEAR(static_cast<double>(frameTimes.size()), 1 + 2 * framesPerSecond, 3);
}

// Between frames slower than the screen's rate the window's events are heard
// at its rate all the same.
std::vector<double> eventTimes;
void hearFakeEvents()
{
    eventTimes.push_back(fakeNow);
}

TEST_F(ShowPaceTest, DrawingTakesAtMostHalfOfTheTimeAtAnyPace)
{
    frameSeconds = 0.030;  // slower than the screen's rate
    startPace(unlimitedShowPace, drawFakeFrame, hearFakeEvents);
    const double taken = takeSteps(500000, 4e-6);  // two seconds of work
    const double drawing = static_cast<double>(frameTimes.size()) * frameSeconds;
    EXPECT_LE(drawing, taken / 2 + frameSeconds);
    EXPECT_GE(drawing, taken / 2 - 2 * frameSeconds) << "frames are not drawn as often as they may be";
    std::vector<double> heard = eventTimes;
    for (double frame : frameTimes)
        heard.push_back(frame + frameSeconds);  // a frame hears the events once drawn
    std::sort(heard.begin(), heard.end());
    for (std::size_t i = 1; i < heard.size(); ++i)
        EXPECT_LE(heard[i] - heard[i - 1], frameSeconds + 1 / framesPerSecond + 0.001) << "events unheard too long";
}

TEST_F(ShowPaceTest, APaceFallenFarBehindStartsAgainInsteadOfRushing)
{
    startPace(1000, drawFakeFrame);
    takeSteps(100);
    fakeNow += 1.0;  // the machine busy elsewhere for a second
    EXPECT_NEAR(takeSteps(100), 0.1, 0.01) << "the steps after the pause rushed to catch up";
}
