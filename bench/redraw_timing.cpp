#include "redraw_timing.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench_clock.h"
#include "carving.h"
#include "maze.h"
#include "maze_picture.h"
#include "maze_solver.h"
#include "maze_window.h"
#include "random_source.h"
#include "silenced_stdout.h"
#include "solution.h"
#include "solution_overlay.h"
#include "view.h"
#include "wall_list.h"

namespace {

// The times of one kind of change.
struct Times {
    std::vector<double> preview;
    std::vector<double> exact;
};

// Handles the redraw a callback asked for as GLUT's loop does, and times it:
// until what the redraw leaves on the window is drawn, then until the view
// itself is, its steps taken as the idle callback takes them.
void timeRedraw(BenchClock::time_point requested, Times& times)
{
    glutMainLoopEvent();
    glFinish();
    times.preview.push_back(millisecondsSince(requested));
    while (!mazePictureComplete())
        drawMoreOfPicture();
    glFinish();
    times.exact.push_back(millisecondsSince(requested));
}

void turnWheel(int button, int x, int y, Times& times)
{
    const BenchClock::time_point requested = BenchClock::now();
    onMouseButton(button, GLUT_DOWN, x, y);
    onMouseButton(button, GLUT_UP, x, y);
    timeRedraw(requested, times);
}

void drag(int fromX, int fromY, int toX, int toY, Times& times)
{
    onMouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, fromX, fromY);
    const BenchClock::time_point requested = BenchClock::now();
    onMouseDrag(toX, toY);
    timeRedraw(requested, times);
    onMouseButton(GLUT_LEFT_BUTTON, GLUT_UP, toX, toY);
}

void pressSpace(Times& times)
{
    const BenchClock::time_point requested = BenchClock::now();
    onKey(' ', 0, 0);
    timeRedraw(requested, times);
}

void printTimes(const char* kind, Times& times)
{
    for (auto* list : {&times.preview, &times.exact}) {
        std::sort(list->begin(), list->end());
        const char* what = list == &times.preview ? "preview" : "exact";
        if (list->empty())
            continue;
        std::printf(" %s_%s_ms_median=%.1f %s_%s_ms_max=%.1f", kind, what, (*list)[list->size() / 2], kind, what,
                    list->back());
    }
}

void ignoreRedraw() {}

}  // namespace

int measureRedraws(int side)
{
    if (std::getenv("DISPLAY") == nullptr) {
        std::fprintf(stderr, "maze_bench: --redraw needs an X display\n");
        return 1;
    }
    mazeWidth = side;
    mazeHeight = side;
    {
        SilencedStdout quiet;
        seedRandomSource(benchSeed);
        createWallList();
        carveMaze();
        MazeSolver solver;
        solver.run();
    }
    static int argc = 1;
    static char name[] = "maze_bench";
    static char* argv[] = {name, nullptr};
    showMazeWindow(&argc, argv);
    freeWallList();
    // Redraws are timed only once the window is mapped; until then GLUT is
    // given nothing to draw.
    glutDisplayFunc(ignoreRedraw);
    while (glutGet(GLUT_WINDOW_WIDTH) == 0 || glutGet(GLUT_WINDOW_HEIGHT) == 0)
        glutMainLoopEvent();
    for (int i = 0; i < 20; ++i)
        glutMainLoopEvent();
    glutDisplayFunc(displayMaze);

    const BenchClock::time_point start = BenchClock::now();
    glutPostRedisplay();
    glutMainLoopEvent();
    while (!mazePictureComplete())
        drawMoreOfPicture();
    glFinish();
    std::printf("%dx%d first_frame_ms=%.1f notches=%d", side, side, millisecondsSince(start), mostZoomSteps());

    const int width = glutGet(GLUT_WINDOW_WIDTH);
    const int height = glutGet(GLUT_WINDOW_HEIGHT);
    const int pointerX = width * 3 / 8;
    const int pointerY = height * 5 / 8;
    Times notchIn;
    Times notchOut;
    Times drags;
    Times spaces;
    for (int notch = 0; notch <= mostZoomSteps(); ++notch) {
        pressSpace(spaces);
        pressSpace(spaces);
        if (notch > 0)
            drag(width / 2, height / 2, width / 2 + width / 10, height / 2 - height / 10, drags);
        if (notch < mostZoomSteps())
            turnWheel(3, pointerX, pointerY, notchIn);
    }
    while (mazeView.zoomSteps > 0)
        turnWheel(4, pointerX, pointerY, notchOut);
    printTimes("notch_in", notchIn);
    printTimes("notch_out", notchOut);
    printTimes("drag", drags);
    printTimes("space", spaces);
    std::printf("\n");
    std::fflush(stdout);
    return 0;
}
