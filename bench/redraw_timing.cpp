#include "redraw_timing.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

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

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t benchSeed = 1000000000u;
constexpr int laterRedraws = 5;
const int zoomedViewCells[] = {1000, 500, 200, 50};

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One redraw as GLUT makes it when asked, the steps of a large view included,
// until the driver has finished it.
double redrawMilliseconds()
{
    const Clock::time_point start = Clock::now();
    glutPostRedisplay();
    glutMainLoopEvent();
    while (!mazePictureComplete())
        drawMoreOfPicture();
    glFinish();
    return millisecondsSince(start);
}

// How long the first wheel notch in from the full view takes to show its
// first step, the whole picture when it is drawn at once.
double firstNotchStepMilliseconds()
{
    mazeView = zoomedAbout(fullView(), 1, 0.5, 0.5);
    const Clock::time_point start = Clock::now();
    glutPostRedisplay();
    glutMainLoopEvent();
    glFinish();
    const double firstStep = millisecondsSince(start);
    while (!mazePictureComplete())
        drawMoreOfPicture();
    return firstStep;
}

double medianOfLaterRedraws()
{
    std::vector<double> times;
    for (int i = 0; i < laterRedraws; ++i)
        times.push_back(redrawMilliseconds());
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The view about the maze's centre whose width is nearest the given cells.
MazeView viewAcross(int cells)
{
    const int steps = static_cast<int>(std::lround(std::log((mazeWidth + 2.0) / cells) / std::log(zoomPerStep)));
    MazeView view = fullView();
    view.zoomSteps = std::clamp(steps, 0, mostZoomSteps());
    return view;
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

    std::printf("%dx%d full_first_ms=%.1f", side, side, redrawMilliseconds());
    std::printf(" full_later_ms=%.1f", medianOfLaterRedraws());
    showSolution = 1;
    std::printf(" full_solution_ms=%.1f", medianOfLaterRedraws());
    showSolution = 0;
    std::printf(" notch1_first_step_ms=%.1f", firstNotchStepMilliseconds());
    for (int cells : zoomedViewCells) {
        mazeView = viewAcross(cells);
        const ViewRectangle shown = viewRectangle(mazeView);
        std::printf(" zoom%d_cells=%.0f", cells, shown.right - shown.left);
        std::printf(" zoom%d_first_ms=%.1f", cells, redrawMilliseconds());
        std::printf(" zoom%d_later_ms=%.1f", cells, medianOfLaterRedraws());
        showSolution = 1;
        std::printf(" zoom%d_solution_ms=%.1f", cells, medianOfLaterRedraws());
        showSolution = 0;
    }
    std::printf("\n");
    std::fflush(stdout);
    return 0;
}
