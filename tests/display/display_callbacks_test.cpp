// The display callbacks driven directly in a real window: the space bar does
// nothing until the maze is solved, then toggles a red line that the first
// redraw after solving compiles. Built once with each program's solved flag.
#include <GL/glu.h>
#include <GL/glut.h>
#include <gtest/gtest.h>
// After gtest: Xlib defines macros (None, Bool) that clash with gtest's names.
#include <GL/glx.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "carving.h"
#include "fatal_exit.h"
#include "gl_window.h"
#include "maze.h"
#include "maze_picture.h"
#include "maze_solver.h"
#include "maze_window.h"
#include "view.h"
#include "random_source.h"
#include "solution.h"
#include "solution_overlay.h"
#include "wall_list.h"
#include "window.h"

namespace {

constexpr int width = 12;
constexpr int height = 8;

void carveTestMaze(int columns = width, int rows = height)
{
    mazeWidth = columns;
    mazeHeight = rows;
    seedRandomSource(7);
    createWallList();
    carveMaze();
}

// Whether any pixel within one of window pixel (x, y) is red.
bool redNear(int x, int y)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const auto pixel = windowPixel(x + dx, y + dy);
            if (pixel[0] == 255 && pixel[1] == 0 && pixel[2] == 0)
                return true;
        }
    return false;
}

// The window pixel at the centre of cell (x, y), from the projection's one
// cell of margin on every side.
void cellCentrePixel(int cellX, int cellY, int& pixelX, int& pixelY)
{
    const double windowWidth = glutGet(GLUT_WINDOW_WIDTH);
    const double windowHeight = glutGet(GLUT_WINDOW_HEIGHT);
    pixelX = static_cast<int>((cellX + 1.5) / (width + 2) * windowWidth);
    pixelY = static_cast<int>((cellY + 1.5) / (height + 2) * windowHeight);
}

}  // namespace

TEST(DisplayCallbacks, SpaceBarTogglesTheSolutionLineOnlyOnceSolved)
{
    carveTestMaze();
    openTestWindow();
    solved = 0;
    showSolution = 0;
    solutionCells = nullptr;
    solutionMoves = -1;

    // Not solved yet: space changes nothing and the redraw compiles nothing.
    onKey(' ', 0, 0);
    EXPECT_EQ(showSolution, 0);
    displayMaze();
    EXPECT_EQ(solutionListBuilt, 0);
    const PixelCounts unsolved = countWindowPixels();
    EXPECT_GT(unsolved.black, 0);
    EXPECT_GT(unsolved.white, unsolved.black);
    EXPECT_EQ(unsolved.red, 0);
    EXPECT_EQ(unsolved.other, 0);

    testing::internal::CaptureStdout();
    MazeSolver solver;
    solver.run();
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(isSolved());
    ASSERT_NE(solutionCells, nullptr);
    EXPECT_EQ(solutionListBuilt, 0) << "nothing redraws when the solver finishes";

    // Other keys do nothing, solved or not.
    onKey('a', 0, 0);
    onKey('\r', 0, 0);
    EXPECT_EQ(showSolution, 0);

    // The first space shows the line; its redraw compiles it and frees the cells.
    onKey(' ', 0, 0);
    EXPECT_EQ(showSolution, 1);
    pumpEvents();
    EXPECT_EQ(solutionListBuilt, 1);
    EXPECT_EQ(solutionCells, nullptr);
    const PixelCounts shown = countWindowPixels();
    EXPECT_GT(shown.red, 0);
    EXPECT_EQ(shown.other, 0);
    int pixelX = 0;
    int pixelY = 0;
    cellCentrePixel(0, 0, pixelX, pixelY);
    EXPECT_TRUE(redNear(pixelX, pixelY)) << "the line ends at the start cell's centre";
    cellCentrePixel(width - 1, height - 1, pixelX, pixelY);
    EXPECT_TRUE(redNear(pixelX, pixelY)) << "the line starts at the goal cell's centre";

    // The second space hides it again; the walls are black as before.
    onKey(' ', 0, 0);
    EXPECT_EQ(showSolution, 0);
    pumpEvents();
    const PixelCounts hidden = countWindowPixels();
    EXPECT_EQ(hidden.red, 0);
    EXPECT_EQ(hidden.black, unsolved.black);
    EXPECT_EQ(hidden.white, unsolved.white);

    // Later redraws replay the compiled line without the freed cells.
    onKey(' ', 0, 0);
    displayMaze();
    displayMaze();
    EXPECT_EQ(countWindowPixels().red, shown.red);
}

namespace {

// The picture as it was first drawn: the border, then every standing wall in
// record order as one primitive, straight from the wall list.
std::vector<unsigned char> everyStandingWallInRecordOrder()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(-1, mazeWidth + 1, mazeHeight + 1, -1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(0, 0, 0);
    glBegin(GL_LINE_STRIP);
    glVertex2f(1, 0);
    glVertex2f(mazeWidth, 0);
    glVertex2f(mazeWidth, mazeHeight - 1);
    glEnd();
    glBegin(GL_LINE_STRIP);
    glVertex2f(0, 0);
    glVertex2f(0, mazeHeight);
    glVertex2f(mazeWidth, mazeHeight);
    glEnd();
    glBegin(GL_LINES);
    for (int i = 0; i < wallCount(); ++i) {
        if (walls[i].present != 1)
            continue;
        const float x = static_cast<float>(walls[i].cell1 % mazeWidth);
        const float y = static_cast<float>(walls[i].cell1 / mazeWidth);
        const bool sideBySide = walls[i].cell2 == walls[i].cell1 + 1;
        glVertex2f(sideBySide ? x + 1 : x, sideBySide ? y : y + 1);
        glVertex2f(x + 1, y + 1);
    }
    glEnd();
    return windowPixels();
}

}  // namespace

// The full view draws exactly the pixels of every standing wall drawn on its
// own, from either store, with walls far apart, with more walls than the
// window has pixels, and with tiles cut short at the maze's edges; so does the
// kept image put back, and the full view after zooming in and out again.
TEST(MazePicture, TheFullViewDrawsThePixelsOfEveryStandingWall)
{
    carveTestMaze();
    openTestWindow();
    EXPECT_TRUE(keepsFullViewImage()) << "Xvfb renders with Mesa's software rasteriser";
    solved = 0;
    const int sizes[][2] = {{width, height}, {37, 23}, {700, 500}, {2000, 1001}};
    for (const auto& size : sizes) {
        freeWallList();
        carveTestMaze(size[0], size[1]);
        const std::vector<unsigned char> reference = everyStandingWallInRecordOrder();
        for (WallStore store : {BUFFER_OBJECT_WALLS, CLIENT_MEMORY_WALLS}) {
            SCOPED_TRACE(std::to_string(size[0]) + " x " + std::to_string(size[1]) +
                         (store == BUFFER_OBJECT_WALLS ? ", buffer object" : ", client memory"));
            compileMazeList(store);
            mazeView = fullView();
            displayMaze();
            const PixelCounts counts = countWindowPixels();
            EXPECT_GT(counts.black, 0);
            EXPECT_GT(counts.white, 0);
            EXPECT_TRUE(windowPixels() == reference) << "drawn";
            displayMaze();
            EXPECT_TRUE(windowPixels() == reference) << "put back";
            mazeView = zoomedAbout(mazeView, 3, 0.3, 0.6);
            displayMaze();
            EXPECT_FALSE(windowPixels() == reference) << "zoomed in";
            mazeView = zoomedAbout(mazeView, -3, 0.7, 0.2);
            displayMaze();
            EXPECT_TRUE(windowPixels() == reference) << "zoomed out again";
        }
    }
}

namespace {

ScreenSize zeroWidthScreen()
{
    return ScreenSize{0, 1024};
}

ScreenSize zeroHeightScreen()
{
    return ScreenSize{1280, 0};
}

void openWindowOn(ScreenSize (*screen)())
{
    mazeWidth = 4;
    mazeHeight = 3;
    queryScreenSize = screen;
    static int argc = 1;
    static char name[] = "maze_display_tests";
    static char* argv[] = {name, nullptr};
    openMazeWindow(&argc, argv);
}

}  // namespace

// A frame drawn after another client has destroyed the window fails on it in
// the X server; the run then ends with status 0, as the destruction does.
TEST(DisplayCallbacksDeathTest, DrawingIntoAWindowAnotherClientDestroyedEndsTheRunWithStatusZero)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            carveTestMaze();
            openTestWindow();
            Display* otherClient = XOpenDisplay(nullptr);
            XDestroyWindow(otherClient, glXGetCurrentDrawable());
            XSync(otherClient, False);
            displayMaze();
            glFinish();
            XSync(glXGetCurrentDisplay(), False);
            _exit(3);  // the failed drawing did not end the run
        },
        testing::ExitedWithCode(0), "^$");
}

TEST(DisplayCallbacksDeathTest, AScreenOfZeroWidthOrHeightIsFatalLevelFour)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "these tests need an X display (run them under Xvfb)";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const char* message = "^A fatal error has occured in the program and it is \t\t\t\t\texiting with level 4\n$";
    EXPECT_EXIT(openWindowOn(zeroWidthScreen), testing::ExitedWithCode(FATAL_SCREEN_SIZE), message);
    EXPECT_EXIT(openWindowOn(zeroHeightScreen), testing::ExitedWithCode(FATAL_SCREEN_SIZE), message);
}
