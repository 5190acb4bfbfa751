// carveMaze joins cells through the fast partition; from the same seed the
// relabelling carve must remove exactly the same walls, and either way the
// result must be a perfect maze.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "carving.h"
#include "maze.h"
#include "wall_list.h"
#include "maze_test_fixture.h"
#include "random_source.h"
#include "relabelling_carving.h"

namespace {

struct GridSize {
    int width;
    int height;
};

std::string describe(int width, int height, std::uint32_t seed)
{
    return std::to_string(width) + " x " + std::to_string(height) + " from seed " + std::to_string(seed);
}

class CarvingOracle : public MazeTest {
protected:
    // Carves the closed grid both ways from one seed and compares the walls left standing.
    void expectSameWallsRemoved(int width, int height, std::uint32_t seed)
    {
        SCOPED_TRACE(describe(width, height, seed));
        buildCarvedMaze(width, height, seed);
        const std::vector<unsigned char> fast = presentFlags();
        expectPerfect();

        buildClosedMaze(width, height);
        seedRandomSource(seed);
        carveMazeByRelabelling();
        const std::vector<unsigned char> reference = presentFlags();

        ASSERT_EQ(fast.size(), reference.size());
        for (std::size_t i = 0; i < fast.size(); ++i) {
            if (fast[i] != reference[i]) {
                ADD_FAILURE() << "wall " << i << " (" << wallRecord(static_cast<long long>(i)).cell1 << ", " << wallRecord(static_cast<long long>(i)).cell2 << ") is "
                              << (fast[i] ? "standing" : "removed") << " but the reference "
                              << (reference[i] ? "keeps" : "removes") << " it";
                return;
            }
        }
    }

    // A spanning tree: one fewer removed wall than cells, and every cell connected to the start.
    void expectPerfect()
    {
        int removed = 0;
        for (unsigned char present : presentFlags())
            removed += present == 0 ? 1 : 0;
        const int cells = mazeWidth * mazeHeight;
        EXPECT_EQ(removed, cells - 1);
        const std::vector<int> moves = movesFromStart();
        EXPECT_EQ(std::count(moves.begin(), moves.end(), -1), 0) << "cells the start does not reach";
    }
};

TEST_F(CarvingOracle, RemovesTheSameWallsAsTheReferenceOnSmallAndMidSizes)
{
    const GridSize sizes[] = {{1, 1}, {2, 1}, {3, 1}, {2, 2}, {3, 2}, {2, 3}, {5, 5},  {10, 3},
                              {3, 10}, {17, 13}, {40, 1}, {2, 40}, {40, 25}, {64, 64}};
    for (const GridSize& size : sizes)
        for (std::uint32_t seed : {0u, 1u, 2u, 12345u, 1000000000u, 0xffffffffu})
            expectSameWallsRemoved(size.width, size.height, seed);
}

// Past 32768 walls the shuffle can no longer reach every position early on, so
// the order, and with it the sequence of merges, takes a different shape.
TEST_F(CarvingOracle, RemovesTheSameWallsAsTheReferenceBeyond32768Walls)
{
    expectSameWallsRemoved(130, 130, 1000000000u);
    expectSameWallsRemoved(400, 42, 7u);
}

TEST_F(CarvingOracle, LargeMazesArePerfect)
{
    const GridSize sizes[] = {{300, 200}, {1000, 3}, {2, 1000}, {700, 700}};
    for (const GridSize& size : sizes) {
        SCOPED_TRACE(describe(size.width, size.height, 31337));
        buildCarvedMaze(size.width, size.height, 31337);
        expectPerfect();
    }
}

}  // namespace
