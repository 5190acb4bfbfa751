// What the window shows of a maze being carved and solved, kept apart from
// the maze itself: the thread that carves and solves (maze_threaded's worker,
// or maze_serial's one thread between frames) changes the maze as it always
// does and hands its steps over in batches, under showLock, to this state,
// which the GLUT thread draws from under the same lock. So the two threads
// never touch the same bytes at the same time, and the one that carves waits
// for the window only while it hands a batch over.
#ifndef SHOW_STATE_H
#define SHOW_STATE_H

#include <cstdint>
#include <mutex>

#include "wall_planes.h"

// What the solver did in a cell, in the low two bits of its byte; above them
// the direction back toward the start (0 up, 1 left, 2 down, 3 right) and
// whether there is one (the start has none).
enum ShownCell : unsigned char {
    CELL_UNTOUCHED = 0,
    CELL_ENTERED = 1,
    CELL_LEFT = 2,  // backed out of
};
constexpr unsigned char cellStateMask = 3;
constexpr int wayBackShift = 2;
constexpr unsigned char hasWayBack = 16;

struct ShowState {
    bool active;           // from startShowState until the GLUT thread has put the finished maze on the window
    WallPlanes planes;     // the show's copy of the walls, which the display draws from
    unsigned char* cells;  // a byte a cell, as above
    long long current;     // the cell the solver's path ends at: -1 until it starts
    bool changed;          // steps handed over since the window last drew them
    bool ended;            // the maze is solved: the window shows it as a run without the show would
};

// Guards showState. Held by the thread that carves and solves while it hands
// a batch of steps over (and once to end the show), and by the GLUT thread
// while it reads the state to draw a frame or to find the show ended. Created
// during static initialisation and never destroyed: the process may end
// while either thread holds it.
extern std::mutex& showLock;
extern ShowState showState;

// Copies the wall list's planes (the closed grid), allocates the cells, and
// starts taking the steps of the wall list being carved and then solved;
// fatal level 1 without the memory. Before the thread that carves exists, or on it.
void startShowState();

// Hands over the steps taken since the last hand-over, holding showLock:
// when the batch is full, and once the maze is solved.
void handOverSteps();

// The same at every frame, unless the GLUT thread holds showLock drawing the
// last: the steps then wait, and false is returned.
bool offerSteps();

// Hands over the last steps and marks the show ended (showState.ended), on
// the thread that carved and solved; its batch is let go.
void endShowSteps();

// On the GLUT thread once it has seen the show ended: lets the show's cells
// and its claim on its copy of the walls go (the display keeps its own).
void releaseShowState();

// The steps taken since startShowState, for tests and the pace: passages
// opened and walls restored, the open field, cells entered.
long long showStepsTaken();

// The cell before this one on the solver's path, back toward the start, as
// showState holds it; -1 from the start. Under showLock.
long long cellBefore(long long cell);

// What the show holds beside the maze for a maze of the given size, for the
// memory check: its copy of the walls, a byte a cell and its batch.
unsigned long long showHeldBytes(int width, int height);

#endif
