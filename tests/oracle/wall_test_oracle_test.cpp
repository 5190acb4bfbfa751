// wallBetween computes where a record lives instead of searching for it; the
// linear scan shows what it must answer for any pair of coordinates,
// including cells off the grid whose index wraps onto a real cell.
#include <climits>
#include <random>
#include <sstream>
#include <vector>

#include "linear_wall_scan.h"
#include "maze.h"
#include "maze_test_fixture.h"
#include "wall_list.h"

namespace {

struct GridSize {
    int width;
    int height;
};

// 1 x 1 has no walls at all, W x 1 only side-by-side ones; the rest mix both
// kinds with last rows and last columns of different lengths.
const GridSize gridSizes[] = {{1, 1}, {2, 1}, {3, 1}, {7, 1}, {2, 2}, {3, 2}, {2, 3}, {5, 4}, {4, 7}, {9, 3}};

// Every column from a full row left of the grid to a full row right of it, so
// indices wrap into neighbouring rows, plus the 32-bit extremes.
std::vector<int> columnsToTry()
{
    std::vector<int> columns{INT_MIN, INT_MIN + 1, INT_MAX - 1, INT_MAX};
    for (int x = -mazeWidth - 1; x <= 2 * mazeWidth; ++x)
        columns.push_back(x);
    return columns;
}

std::vector<int> rowsToTry()
{
    std::vector<int> rows{INT_MIN, INT_MAX};
    for (int y = -2; y <= mazeHeight + 1; ++y)
        rows.push_back(y);
    return rows;
}

class WallTestOracle : public MazeTest {
protected:
    // Asks both wall tests about every ordered pair of coordinates; reports
    // the first few disagreements.
    void expectSameAnswersForAllPairs()
    {
        std::vector<std::pair<int, int>> coordinates;
        for (int x : columnsToTry())
            for (int y : rowsToTry())
                coordinates.emplace_back(x, y);
        int disagreements = 0;
        for (const auto& [x1, y1] : coordinates) {
            for (const auto& [x2, y2] : coordinates) {
                const int expected = scanWallBetween(x1, y1, x2, y2);
                const int actual = wallBetween(x1, y1, x2, y2);
                if (expected != actual && ++disagreements <= 5)
                    ADD_FAILURE() << "wallBetween(" << x1 << ", " << y1 << ", " << x2 << ", " << y2 << ") = " << actual
                                  << ", the scan gives " << expected;
            }
        }
        EXPECT_EQ(disagreements, 0);
    }

    static std::string describe(const GridSize& size, const char* walls)
    {
        std::ostringstream text;
        text << size.width << " x " << size.height << ", " << walls;
        return text.str();
    }
};

TEST_F(WallTestOracle, AgreesOnClosedGrids)
{
    for (const GridSize& size : gridSizes) {
        SCOPED_TRACE(describe(size, "every wall standing"));
        buildClosedMaze(size.width, size.height);
        expectSameAnswersForAllPairs();
    }
}

TEST_F(WallTestOracle, AgreesOnCarvedMazes)
{
    for (const GridSize& size : gridSizes) {
        for (std::uint32_t seed : {1u, 77u, 1000000000u}) {
            SCOPED_TRACE(describe(size, "carved") + " from seed " + std::to_string(seed));
            buildCarvedMaze(size.width, size.height, seed);
            expectSameAnswersForAllPairs();
        }
    }
}

// Independent random flags open passages no carving would (loops, open
// squares), so every record position is seen both open and closed.
TEST_F(WallTestOracle, AgreesOnRandomlyOpenedWalls)
{
    std::mt19937 random(20240601);
    for (const GridSize& size : gridSizes) {
        for (int round = 0; round < 4; ++round) {
            SCOPED_TRACE(describe(size, "random walls") + ", round " + std::to_string(round));
            buildClosedMaze(size.width, size.height);
            std::vector<unsigned char> flags = presentFlags();
            for (unsigned char& flag : flags)
                flag = static_cast<unsigned char>(random() % 2);
            setPresentFlags(flags);
            expectSameAnswersForAllPairs();
        }
    }
}

}  // namespace
