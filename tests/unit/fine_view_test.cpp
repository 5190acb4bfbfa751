// The view computed for cells finer than pixels, against the area of wall
// under each pixel worked out one rectangle at a time, straight from the wall
// list: every grid corner a square, every standing wall the strip between two
// corners, each line as wide as a pixel but never wider than half a cell.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "fine_view.h"
#include "maze.h"
#include "wall_list.h"
#include "maze_test_fixture.h"
#include "view.h"
#include "drawn_walls.h"

namespace {

struct Rectangle {
    double left;
    double top;
    double right;
    double bottom;
};

double overlap(const Rectangle& one, const Rectangle& other)
{
    const double across = std::min(one.right, other.right) - std::max(one.left, other.left);
    const double down = std::min(one.bottom, other.bottom) - std::max(one.top, other.top);
    return across > 0 && down > 0 ? across * down : 0;
}

// The black rectangles of the current maze, lines lineWidth wide (vertical)
// and lineHeight high (horizontal), in world coordinates.
std::vector<Rectangle> wallRectangles(double lineWidth, double lineHeight)
{
    const int width = mazeWidth;
    const int height = mazeHeight;
    std::map<std::pair<int, int>, bool> standing;
    for (int i = 0; i < wallCount(); ++i) {
        const Wall wall = wallRecord(i);
        standing[{wall.cell1, wall.cell2}] = wall.present == 1;
    }
    const double halfWidth = lineWidth / 2;
    const double halfHeight = lineHeight / 2;
    std::vector<Rectangle> black;
    for (int y = 0; y <= height; ++y)
        for (int x = 0; x <= width; ++x)
            black.push_back({x - halfWidth, y - halfHeight, x + halfWidth, y + halfHeight});
    for (int y = 0; y < height; ++y)
        for (int x = 0; x <= width; ++x) {
            // Left border whole; right border open beside the goal cell.
            const bool stands = x == 0 || (x == width ? y != height - 1
                                                      : standing[{x - 1 + y * width, x + y * width}]);
            if (stands)
                black.push_back({x - halfWidth, y + halfHeight, x + halfWidth, y + 1 - halfHeight});
        }
    for (int y = 0; y <= height; ++y)
        for (int x = 0; x < width; ++x) {
            // Top border open above the start cell; bottom border whole.
            const bool stands = y == 0 ? x != 0 : y == height || standing[{x + (y - 1) * width, x + y * width}];
            if (stands)
                black.push_back({x + halfWidth, y - halfHeight, x + 1 - halfWidth, y + halfHeight});
        }
    return black;
}

// The grey of every pixel, top row first, by summing rectangle overlaps.
std::vector<int> bruteForceGreys(const ViewRectangle& shown, int windowWidth, int windowHeight)
{
    const double pixelWidth = (shown.right - shown.left) / windowWidth;
    const double pixelHeight = (shown.bottom - shown.top) / windowHeight;
    const std::vector<Rectangle> black = wallRectangles(std::min(0.5, pixelWidth), std::min(0.5, pixelHeight));
    std::vector<int> greys;
    for (int row = 0; row < windowHeight; ++row)
        for (int column = 0; column < windowWidth; ++column) {
            const Rectangle pixel{shown.left + column * pixelWidth, shown.top + row * pixelHeight,
                                  shown.left + (column + 1) * pixelWidth, shown.top + (row + 1) * pixelHeight};
            double covered = 0;
            for (const Rectangle& wall : black)
                covered += overlap(pixel, wall);
            greys.push_back(static_cast<int>(std::lround(255 * std::max(0.0, 1 - covered / (pixelWidth * pixelHeight)))));
        }
    return greys;
}

class FineView : public MazeTest {};

}  // namespace

// Mazes of a few cells to a few dozen, windows of odd sizes with cells from a
// fraction of a pixel to several, at the full view, zoomed about a point off
// the centre and panned: within one level of grey of the rectangles' sum,
// pure white exactly where no wall reaches, and alpha 0 exactly there.
TEST_F(FineView, EachPixelIsAsGreyAsTheWallAreaUnderIt)
{
    const struct {
        int width, height;
        unsigned seed;
    } mazes[] = {{5, 4, 1}, {13, 7, 2}, {40, 30, 3}};
    const std::pair<int, int> windows[] = {{37, 23}, {61, 50}, {16, 9}};
    for (const auto& maze : mazes) {
        buildCarvedMaze(maze.width, maze.height, maze.seed);
        keepWallPlanes();
        MazeView zoomed = zoomedAbout(fullView(), 2, 0.3, 0.7);
        const MazeView views[] = {fullView(), zoomed, draggedBy(zoomed, 0.23, -0.11)};
        for (const auto& [windowWidth, windowHeight] : windows)
            for (const MazeView& view : views) {
                const ViewRectangle shown = viewRectangle(view);
                SCOPED_TRACE(std::to_string(maze.width) + " x " + std::to_string(maze.height) + " in " +
                             std::to_string(windowWidth) + " x " + std::to_string(windowHeight) + ", " +
                             std::to_string(view.zoomSteps) + " notches, centre " + std::to_string(view.centreX));
                std::vector<unsigned char> pixels(4u * windowWidth * windowHeight, 7);
                computeFineViewRows(wallPlanes, shown, windowWidth, windowHeight, 0, windowHeight, pixels.data());
                const std::vector<int> expected = bruteForceGreys(shown, windowWidth, windowHeight);
                int mismatches = 0;
                for (int row = 0; row < windowHeight; ++row)
                    for (int column = 0; column < windowWidth; ++column) {
                        // The image's rows run from the bottom, as OpenGL's do.
                        const unsigned char* pixel =
                            &pixels[4u * ((windowHeight - 1 - row) * windowWidth + column)];
                        const int grey = expected[row * windowWidth + column];
                        const bool white = grey == 255;
                        const bool right = std::abs(pixel[0] - grey) <= 1 && pixel[1] == pixel[0] &&
                                           pixel[2] == pixel[0] && (pixel[0] == 255) == white &&
                                           pixel[3] == (white ? 0 : 255);
                        if (!right && ++mismatches <= 3)
                            ADD_FAILURE() << "pixel (" << column << ", " << row << ") is " << int(pixel[0]) << "/"
                                          << int(pixel[3]) << ", expected grey " << grey;
                    }
                EXPECT_EQ(mismatches, 0);
            }
    }
}

// Rows computed in pieces, as the window computes them a step at a time on
// two threads, make the same image as all at once.
TEST_F(FineView, RowsComputedInPiecesMakeTheSameImage)
{
    buildCarvedMaze(300, 200, 9);
    keepWallPlanes();
    const ViewRectangle shown = viewRectangle(zoomedAbout(fullView(), 1, 0.6, 0.4));
    const int windowWidth = 97;
    const int windowHeight = 71;
    std::vector<unsigned char> whole(4u * windowWidth * windowHeight);
    computeFineViewRows(wallPlanes, shown, windowWidth, windowHeight, 0, windowHeight, whole.data());
    ASSERT_TRUE(startFineView(shown, windowWidth, windowHeight));
    int steps = 1;
    while (!computeMoreOfFineView())
        ++steps;
    EXPECT_TRUE(std::equal(whole.begin(), whole.end(), fineViewPixels()));
    std::vector<unsigned char> pieces(whole.size());
    for (int first = 0; first < windowHeight; first += 10)
        computeFineViewRows(wallPlanes, shown, windowWidth, windowHeight, first, std::min(first + 10, windowHeight),
                            pieces.data());
    EXPECT_EQ(pieces, whole);
}

// Below two pixels a cell, in either direction, a view is computed; at two
// and above it is lines.
TEST(FineViewThreshold, CellsUnderTwoPixelsAcrossOrDownMakeAFineView)
{
    const ViewRectangle hundredCells{0, 0, 100, 100};
    EXPECT_FALSE(isFineView(hundredCells, 200, 200));
    EXPECT_FALSE(isFineView(hundredCells, 1000, 250));
    EXPECT_TRUE(isFineView(hundredCells, 199, 1000));
    EXPECT_TRUE(isFineView(hundredCells, 1000, 199));
    EXPECT_TRUE(isFineView(hundredCells, 50, 50));
}
