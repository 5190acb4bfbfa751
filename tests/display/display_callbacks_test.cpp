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
#include "fine_view.h"
#include "maze_picture.h"
#include "maze_solver.h"
#include "maze_window.h"
#include "view.h"
#include "random_source.h"
#include "solution.h"
#include "solution_overlay.h"
#include "wall_list.h"
#include "drawn_walls.h"
#include "window.h"
#include "window_room.h"

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

// Whether any pixel of the window within one of window pixel (x, y) is red.
bool redNear(int x, int y)
{
    const int windowWidth = glutGet(GLUT_WINDOW_WIDTH);
    const int windowHeight = glutGet(GLUT_WINDOW_HEIGHT);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            if (x + dx < 0 || y + dy < 0 || x + dx >= windowWidth || y + dy >= windowHeight)
                continue;
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
    pixelX = static_cast<int>((cellX + 1.5) / (mazeWidth + 2) * windowWidth);
    pixelY = static_cast<int>((cellY + 1.5) / (mazeHeight + 2) * windowHeight);
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
// record order as one primitive, straight from the wall list, in the
// projection of the given world rectangle.
std::vector<unsigned char> everyStandingWallInRecordOrder(const ViewRectangle& shown)
{
    applyProjection(shown);
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
        const Wall wall = wallRecord(i);
        if (wall.present != 1)
            continue;
        const float x = static_cast<float>(wall.cell1 % mazeWidth);
        const float y = static_cast<float>(wall.cell1 / mazeWidth);
        const bool sideBySide = wall.cell2 == wall.cell1 + 1;
        glVertex2f(sideBySide ? x + 1 : x, sideBySide ? y : y + 1);
        glVertex2f(x + 1, y + 1);
    }
    glEnd();
    return windowPixels();
}

// A redraw as GLUT's loop makes it: the display callback, then the idle
// callback until the view is complete on the window.
void redrawCompletely()
{
    displayMaze();
    while (!mazePictureComplete())
        drawMoreOfPicture();
}

bool linesInView()
{
    return !isFineView(viewRectangle(mazeView), glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
}

// The colours of the image computed for the current view, as windowPixels
// reads them. (The window has no alpha channel for GL to read back; the
// fourth byte that the X server keeps for each pixel is read with xwd in the
// window tests.)
std::vector<unsigned char> computedView()
{
    const int width = glutGet(GLUT_WINDOW_WIDTH);
    const int height = glutGet(GLUT_WINDOW_HEIGHT);
    std::vector<unsigned char> pixels(4u * width * height);
    computeFineViewRows(wallPlanes, viewRectangle(mazeView), width, height, 0, height, pixels.data());
    std::vector<unsigned char> colours;
    for (std::size_t i = 0; i < pixels.size(); i += 4)
        colours.insert(colours.end(), &pixels[i], &pixels[i + 3]);
    return colours;
}

// Mean brightness and the shares of pure white and pure black pixels.
struct Brightness {
    double mean;
    double white;
    double black;
};

Brightness brightnessOf(const std::vector<unsigned char>& rgb)
{
    const std::size_t pixels = rgb.size() / 3;
    double sum = 0;
    double white = 0;
    double black = 0;
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        sum += rgb[i] + rgb[i + 1] + rgb[i + 2];
        white += rgb[i] == 255 && rgb[i + 1] == 255 && rgb[i + 2] == 255;
        black += rgb[i] == 0 && rgb[i + 1] == 0 && rgb[i + 2] == 0;
    }
    return Brightness{sum / (3 * 255.0 * pixels), white / pixels, black / pixels};
}

void expectGrey(const std::vector<unsigned char>& rgb, const char* what)
{
    const Brightness brightness = brightnessOf(rgb);
    EXPECT_GT(brightness.mean, 0.3) << what;
    EXPECT_LT(brightness.mean, 0.8) << what;
    EXPECT_LT(brightness.white, 0.5) << what;
    EXPECT_LT(brightness.black, 0.5) << what;
}

}  // namespace

// Every view that is lines draws exactly the pixels of every standing wall
// drawn on its own: the full views of mazes whose cells span two pixels or
// more, drawn at once, and the zoomed views of larger ones, drawn off the
// window; with walls far apart, as many as the window can show, and tiles of
// bits cut short at the maze's edges; then again when shown a second time,
// after a drag, and after zooming out and in again.
TEST(MazePicture, ViewsOfLinesDrawThePixelsOfEveryStandingWall)
{
    carveTestMaze();
    openTestWindow();
    solved = 0;
    const int sizes[][2] = {{width, height}, {37, 23}, {300, 200}, {700, 500}, {2000, 1001}};
    for (const auto& size : sizes) {
        freeWallList();
        carveTestMaze(size[0], size[1]);
        compileMazeList();
        mazeView = fullView();
        redrawCompletely();
        // From the first notch whose view is lines down to the most zoom.
        int checked = 0;
        for (int notch = 0; notch <= mostZoomSteps(); ++notch) {
            const bool firstLines = linesInView() && checked == 0;
            if (firstLines || notch == mostZoomSteps() || (linesInView() && notch % 7 == 3)) {
                SCOPED_TRACE(std::to_string(size[0]) + " x " + std::to_string(size[1]) + ", " +
                             std::to_string(notch) + " notches in");
                const ViewRectangle shown = viewRectangle(mazeView);
                redrawCompletely();
                const std::vector<unsigned char> drawn = windowPixels();
                const std::vector<unsigned char> reference = everyStandingWallInRecordOrder(shown);
                EXPECT_TRUE(drawn == reference) << "drawn";
                redrawCompletely();
                EXPECT_TRUE(windowPixels() == reference) << "shown again";
                mazeView = draggedBy(mazeView, -0.3, 0.2);
                redrawCompletely();
                EXPECT_TRUE(windowPixels() == everyStandingWallInRecordOrder(viewRectangle(mazeView))) << "dragged";
                mazeView = zoomedAbout(mazeView, -2, 0.7, 0.2);
                redrawCompletely();
                mazeView = zoomedAbout(mazeView, 2, 0.7, 0.2);
                redrawCompletely();
                EXPECT_TRUE(windowPixels() == everyStandingWallInRecordOrder(viewRectangle(mazeView)))
                    << "zoomed out and in";
                ++checked;
            }
            mazeView = zoomedAbout(mazeView, 1, 0.3, 0.6);
            redrawCompletely();
        }
        EXPECT_GE(checked, 2);
    }
}

// A maze finer than the window: its views are the computed images, every
// colour of them, put on the window whole; grey; the same bytes
// when shown again and after zooming in and all the way out; the solution
// line red on top.
TEST(MazePicture, FineViewsAreTheComputedImageWholeAndGrey)
{
    carveTestMaze();
    openTestWindow();
    freeWallList();
    carveTestMaze(2000, 1001);
    solved = 0;
    showSolution = 0;
    compileMazeList();
    mazeView = fullView();
    ASSERT_FALSE(linesInView());
    redrawCompletely();
    const std::vector<unsigned char> first = windowPixels();
    EXPECT_TRUE(first == computedView());
    expectGrey(first, "the full view");
    displayMaze();
    EXPECT_TRUE(mazePictureComplete()) << "shown again at once";
    EXPECT_TRUE(windowPixels() == first);

    mazeView = zoomedAbout(mazeView, 2, 0.2, 0.8);
    ASSERT_FALSE(linesInView());
    redrawCompletely();
    EXPECT_TRUE(windowPixels() == computedView()) << "zoomed";
    mazeView = zoomedAbout(mazeView, -mostZoomSteps(), 0.9, 0.1);
    redrawCompletely();
    EXPECT_TRUE(windowPixels() == first) << "zoomed all the way out";

    testing::internal::CaptureStdout();
    MazeSolver solver;
    solver.run();
    testing::internal::GetCapturedStdout();
    solutionListBuilt = 0;
    onKey(' ', 0, 0);
    redrawCompletely();
    const PixelCounts withLine = countWindowPixels();
    EXPECT_GT(withLine.red, mazeHeight / 2) << "a red line at least a pixel wide down the maze";
    int pixelX = 0;
    int pixelY = 0;
    cellCentrePixel(0, 0, pixelX, pixelY);
    EXPECT_TRUE(redNear(pixelX, pixelY)) << "the line ends at the start cell";
    onKey(' ', 0, 0);
    redrawCompletely();
    EXPECT_TRUE(windowPixels() == first) << "the line hidden again";
}

// A notch first shows the pictures kept so far, scaled and moved as the new
// view shows them: grey, not white or black. That stays on the window, byte
// for byte, until the new view replaces it whole; and a notch during a view
// in the making abandons it for the newer one.
TEST(MazePicture, ANotchShowsTheOldPictureScaledUntilTheNewOneIsComplete)
{
    carveTestMaze();
    openTestWindow();
    freeWallList();
    carveTestMaze(2000, 1001);
    solved = 0;
    compileMazeList();
    mazeView = fullView();
    redrawCompletely();
    for (int notch = 1; notch <= 8; ++notch) {
        SCOPED_TRACE(std::to_string(notch) + " notches in");
        mazeView = zoomedAbout(mazeView, 1, 0.4, 0.55);
        displayMaze();
        ASSERT_FALSE(mazePictureComplete());
        const std::vector<unsigned char> preview = windowPixels();
        expectGrey(preview, "the preview");
        while (!mazePictureComplete()) {
            EXPECT_TRUE(windowPixels() == preview) << "a view in the making stays off the window";
            drawMoreOfPicture();
        }
        if (!linesInView())
            EXPECT_TRUE(windowPixels() == computedView());
        else
            EXPECT_TRUE(windowPixels() == everyStandingWallInRecordOrder(viewRectangle(mazeView)));
    }

    mazeView = zoomedAbout(fullView(), 2, 0.5, 0.5);
    displayMaze();
    drawMoreOfPicture();
    const MazeView abandoned = mazeView;
    mazeView = zoomedAbout(mazeView, 1, 0.1, 0.1);
    redrawCompletely();
    EXPECT_TRUE(windowPixels() == computedView()) << "the newer view";
    mazeView = abandoned;
    EXPECT_FALSE(windowPixels() == computedView());
}

// A window takes no more than the screen and the room the memory check gave
// it. In a room of just what the check counts for the window a large maze
// opens, that window keeps its size; grown to the whole screen it is given the
// largest size of its proportions that fits, no smaller than it opened. With
// room to spare, any size fits, but no larger than the screen.
TEST(WindowRoom, AWindowGrowsOnlyAsFarAsTheScreenAndItsRoomAllow)
{
    carveTestMaze();
    openTestWindow();
    freeWallList();
    carveTestMaze(2000, 1001);
    compileMazeList();
    const ScreenSize screen = windowScreen();
    const WindowPlacement opening = placeWindow(screen.width, screen.height, mazeWidth, mazeHeight);

    const WindowFit beyond = fitWindow(3 * screen.width, 2 * screen.height, opening.width, opening.height);
    EXPECT_EQ(beyond.width, screen.width);
    EXPECT_EQ(beyond.height, screen.height);

    allowWindowBytes(openingWindowBytes(mazeWidth, mazeHeight, screen));
    const WindowFit asOpened = fitWindow(opening.width, opening.height, opening.width, opening.height);
    EXPECT_EQ(asOpened.width, opening.width);
    EXPECT_EQ(asOpened.height, opening.height);
    const WindowFit grown = fitWindow(screen.width, screen.height, opening.width, opening.height);
    EXPECT_LT(grown.width, screen.width);
    EXPECT_GE(static_cast<long long>(grown.width) * grown.height * 10,
              static_cast<long long>(opening.width) * opening.height * 8);
    EXPECT_NEAR(static_cast<double>(grown.width) / grown.height, static_cast<double>(screen.width) / screen.height,
                0.01);
    allowWindowBytes(~0ull);
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
