#include "maze_show.h"

#include <GL/freeglut.h>

#include <cmath>

#include "drawn_walls.h"
#include "kept_pictures.h"
#include "maze.h"
#include "maze_picture.h"
#include "maze_window.h"
#include "show_frame.h"
#include "show_pace.h"
#include "show_state.h"
#include "solution_overlay.h"
#include "window.h"
#include "window_room.h"

namespace {

// Written by startShow before the thread that carves exists, read by endShow on that thread.
bool drawsBetweenSteps = false;
// When the window's next frame is due: written by displayShow, read by
// onShowTick, GLUT thread only.
double nextFrame = 0;

// The display callback while the show runs.
void displayShow()
{
    // As displayMaze: nothing is drawn at a size the window was asked to leave.
    if (windowAwaitingSize())
        return;
    const double started = showClock.now();
    drawShowFrame();
    nextFrame = nextFrameDue(started, showClock.now());
}

// The finished maze on the window, as a run without the show puts it there:
// the last frame of the show stays until the picture replacing it is complete.
// GLUT thread.
void showFinishedMaze()
{
    releaseShowState();
    setUpKeptPictures(picturesKeptFor(mazeWidth, mazeHeight, windowScreen()));
    notePictureOnWindow();
    glutDisplayFunc(displayMaze);
    glutPostRedisplay();
}

// maze_threaded's frames: a timer on the GLUT thread, which draws what has
// been handed over since the last frame, or puts the finished maze up.
void onShowTick(int)
{
    const double now = showClock.now();
    if (now < nextFrame) {
        glutTimerFunc(static_cast<unsigned>(std::ceil((nextFrame - now) * 1000)), onShowTick, 0);
        return;
    }
    bool ended = false;
    bool changed = false;
    {
        const std::lock_guard<std::mutex> lock(showLock);
        ended = showState.ended;
        changed = showState.changed;
    }
    if (ended) {
        showFinishedMaze();
        return;
    }
    if (changed)
        glutPostRedisplay();
    glutTimerFunc(static_cast<unsigned>(std::ceil(1000 / framesPerSecond)), onShowTick, 0);
}

// maze_serial's frames, between its steps: the steps handed over (nothing
// else holds the lock on this one thread), then the window's events, the
// redraw among them.
bool frameBetweenSteps()
{
    handOverSteps();
    bool changed = false;
    {
        const std::lock_guard<std::mutex> lock(showLock);
        changed = showState.changed;
    }
    if (changed)
        glutPostRedisplay();
    glutMainLoopEvent();
    return true;
}

// Between maze_serial's frames, the window's events alone.
void eventsBetweenFrames()
{
    glutMainLoopEvent();
}

}  // namespace

void startShow(int* argc, char** argv, long long stepsPerSecond, bool drawnBetweenSteps)
{
    drawsBetweenSteps = drawnBetweenSteps;
    startShowState();
    showMazeWindow(argc, argv);
    // The display draws from the show's copy of the walls, never from the
    // wall list being carved, and draws every frame off the window.
    keepWallPlanes(showState.planes);
    setUpKeptPictures(true);
    glutDisplayFunc(displayShow);
    if (drawnBetweenSteps) {
        startPace(stepsPerSecond, frameBetweenSteps, eventsBetweenFrames);
    } else {
        startPace(stepsPerSecond, offerSteps);
        glutTimerFunc(0, onShowTick, 0);
    }
}

void endShow()
{
    endShowSteps();
    if (drawsBetweenSteps) {
        showFinishedMaze();
        glutMainLoopEvent();
    }
}
