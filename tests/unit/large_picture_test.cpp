// A large maze saved as PNG by the built programs, read back pixel by pixel
// and compared wall by wall with the maze its seed carves here. At two pixels
// a cell every grid line is one pixel and every cell's inside one pixel, so
// each wall and each cell is one pixel to look at, where the window tests'
// picture reader finds it: world (wx, wy) at ((wx + 1) * 2, (wy + 1) * 2).
#include <gtest/gtest.h>
#include <png.h>

#include <chrono>
#include <string>
#include <vector>

#include "maze.h"
#include "maze_test_fixture.h"
#include "running_program.h"
#include "temporary_file.h"
#include "wall_list.h"

namespace {

constexpr int side = 4000;
constexpr unsigned seed = 1234567890u;
enum Colour { WHITE, BLACK, RED, OTHER };

// The colour of every pixel, a byte each, row after row.
struct ColourImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
    unsigned char at(long long x, long long y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

ColourImage readPng(const std::string& path)
{
    ColourImage result;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        ADD_FAILURE() << "libpng cannot read " << path << ": " << image.message;
        return result;
    }
    image.format = PNG_FORMAT_RGB_COLORMAP;
    std::vector<unsigned char> indices(PNG_IMAGE_SIZE(image));
    std::vector<unsigned char> colourMap(PNG_IMAGE_COLORMAP_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, indices.data(), 0, colourMap.data())) {
        ADD_FAILURE() << "libpng cannot read " << path << ": " << image.message;
        return result;
    }
    // Each entry of the colour map to the colour it is.
    std::vector<unsigned char> colourOf(256, OTHER);
    for (unsigned entry = 0; entry < image.colormap_entries; ++entry) {
        const unsigned char* rgb = &colourMap[3 * entry];
        if (rgb[0] == 255 && rgb[1] == 255 && rgb[2] == 255)
            colourOf[entry] = WHITE;
        else if (rgb[0] == 0 && rgb[1] == 0 && rgb[2] == 0)
            colourOf[entry] = BLACK;
        else if (rgb[0] == 255 && rgb[1] == 0 && rgb[2] == 0)
            colourOf[entry] = RED;
    }
    result.width = static_cast<int>(image.width);
    result.height = static_cast<int>(image.height);
    result.pixels.resize(indices.size());
    for (std::size_t i = 0; i < indices.size(); ++i)
        result.pixels[i] = colourOf[indices[i]];
    return result;
}

// The pixel of world point (wx, wy), doubled so that centres stay whole.
unsigned char pixelAtDoubled(const ColourImage& image, long long twiceX, long long twiceY)
{
    return image.at(twiceX + 2, twiceY + 2);
}

using LargePictureTest = MazeTest;

TEST_F(LargePictureTest, A4000By4000PngShowsEveryWallAndTheSolutionOfItsSeed)
{
    buildCarvedMaze(side, side, seed);
    // The path from the goal back to the start, by the distances from the start.
    const std::vector<int> moves = movesFromStart();
    std::vector<bool> onPath(static_cast<std::size_t>(side) * side, false);
    std::vector<std::pair<int, int>> steps;  // consecutive cells of the path
    for (int cell = side * side - 1; cell != 0;) {
        onPath[cell] = true;
        const int x = cell % side;
        const int y = cell / side;
        const int neighbours[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
        int next = -1;
        for (const auto& [nx, ny] : neighbours) {
            if (nx >= 0 && nx < side && ny >= 0 && ny < side && moves[nx + ny * side] == moves[cell] - 1 &&
                wallBetween(x, y, nx, ny) == 0)
                next = nx + ny * side;
        }
        ASSERT_GE(next, 0);
        steps.emplace_back(cell, next);
        cell = next;
    }
    onPath[0] = true;
    std::vector<bool> stepOpen(static_cast<std::size_t>(wallCount()), false);  // walls the path crosses
    auto recordOf = [](int a, int b) {
        const int low = a < b ? a : b;
        const int x = low % side;
        const int y = low / side;
        const long long rowStart = static_cast<long long>(y) * (2 * side - 1);
        if (b - a == 1 || a - b == 1)
            return y < side - 1 ? rowStart + 2 * x : rowStart + x;
        return rowStart + 2 * x + (x < side - 1 ? 1 : 0);
    };
    for (const auto& [a, b] : steps)
        stepOpen[static_cast<std::size_t>(recordOf(a, b))] = true;

    const TemporaryDirectory directory;
    // Saved by maze_threaded, whose worker saves from its copy of the solution;
    // both programs share the writer.
    const std::string path = directory.path() + "/maze.png";
    RunningProgram program(MAZE_THREADED_PROGRAM, {"--seed", std::to_string(seed), "--size", "4000x4000", "--save",
                                                   path, "--cell-size", "2", "--solution", "--no-window"});
    // Seconds as built for use; a sanitizer's build takes minutes.
    const ProgramRun run = program.finish(std::chrono::minutes(10));
    ASSERT_EQ(run.exitStatus, 0) << run.standardError;
    const ColourImage image = readPng(path);
    ASSERT_EQ(image.width, (side + 2) * 2);
    ASSERT_EQ(image.height, (side + 2) * 2);

    int wrong = 0;
    auto expect = [&](long long twiceX, long long twiceY, Colour colour, const char* what) {
        if (pixelAtDoubled(image, twiceX, twiceY) != colour && ++wrong <= 10)
            ADD_FAILURE() << what << " at world (" << twiceX / 2.0 << ", " << twiceY / 2.0 << ") shows "
                          << int(pixelAtDoubled(image, twiceX, twiceY)) << ", expected " << int(colour);
    };
    for (int i = 0; i < wallCount(); ++i) {
        const Wall wall = wallRecord(i);
        const long long x = wall.cell1 % side;
        const long long y = wall.cell1 / side;
        const Colour open = stepOpen[static_cast<std::size_t>(i)] ? RED : WHITE;
        if (wall.cell2 == wall.cell1 + 1)
            expect(2 * x + 2, 2 * y + 1, wall.present ? BLACK : open, "the wall right of a cell");
        else
            expect(2 * x + 1, 2 * y + 2, wall.present ? BLACK : open, "the wall below a cell");
    }
    for (long long cell = 0; cell < static_cast<long long>(side) * side; ++cell)
        expect(2 * (cell % side) + 1, 2 * (cell / side) + 1, onPath[cell] ? RED : WHITE, "a cell's middle");
    for (int i = 0; i < side; ++i) {
        expect(2 * i + 1, 0, i == 0 ? WHITE : BLACK, "the top border");
        expect(2 * i + 1, 2 * side, BLACK, "the bottom border");
        expect(0, 2 * i + 1, BLACK, "the left border");
        expect(2 * side, 2 * i + 1, i == side - 1 ? WHITE : BLACK, "the right border");
    }
    for (long long x = 0; x < image.width; ++x)
        expect(x - 2, -2, WHITE, "the margin");
    EXPECT_EQ(wrong, 0);
}

}  // namespace
