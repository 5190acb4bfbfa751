// Allocations of maze data that really fail, each ending the run with the
// level of its own site. The address space is capped in the death-test child
// just above what it already maps, so the big arrays cannot be had.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "address_space_limit.h"
#include "carving.h"
#include "cell_partition.h"
#include "fatal_exit.h"
#include "fatal_expectation.h"
#include "maze.h"
#include "maze_solver.h"
#include "maze_test_fixture.h"
#include "wall_list.h"

namespace {

constexpr std::size_t megabyte = std::size_t{1} << 20;

// 5000 x 5000: 25 000 000 cells, 125 MB of partition and 250 MB of the
// solver's tables for any maze: far too big for a few dozen megabytes of
// headroom. The walls, a bit each, take 6 MB; 20000 x 20000 takes 100 MB.
constexpr int side = 5000;
constexpr int wallListSide = 20000;

class AllocationFailureDeathTest : public MazeTest {
protected:
    void SetUp() override
    {
        MazeTest::SetUp();
        if (!addressSpaceLimitUsable)
            GTEST_SKIP() << "AddressSanitizer needs more address space than any cap leaves";
    }
};

TEST_F(AllocationFailureDeathTest, WallListThatCannotBeAllocatedEndsWithLevel1)
{
    expectFatalExit(
        [] {
            capAddressSpace(64 * megabyte);
            buildClosedMaze(wallListSide, wallListSide);
        },
        FATAL_ALLOCATION);
}

// Carving allocates the shuffle's scratch space first (level 2 when that
// fails) and then the partition (level 5). The wall list itself is not
// touched before either, so none is needed.
TEST_F(AllocationFailureDeathTest, CarvingWithoutRoomForItsArraysEndsWithTheLevelOfTheFailingSite)
{
    struct Case {
        std::size_t cap;
        int level;
    };
    // 128 KiB of scratch, then 125 MB of partition: no room at all, or room
    // for the scratch but not the partition.
    for (const Case& failing : {Case{64 * 1024, FATAL_SHUFFLE}, Case{64 * megabyte, FATAL_PARTITION_ALLOCATION}}) {
        SCOPED_TRACE("address space capped " + std::to_string(failing.cap / megabyte) + " MB above use");
        expectFatalExit(
            [&failing] {
                mazeWidth = side;
                mazeHeight = side;
                capAddressSpace(failing.cap);
                carveMaze();
            },
            failing.level);
    }
}

TEST_F(AllocationFailureDeathTest, PartitionWithoutRoomForItsLabelsEndsWithLevel5)
{
    expectFatalExit(
        [] {
            capAddressSpace(64 * megabyte);
            CellPartition partition(side * side);
        },
        FATAL_PARTITION_ALLOCATION);
}

// The solver's tables are allocated before it prints a word or reads a wall.
TEST_F(AllocationFailureDeathTest, SolverWithoutRoomForItsTablesEndsWithLevel1)
{
    const std::string printed = expectFatalExit(
        [] {
            mazeWidth = side;
            mazeHeight = side;
            capAddressSpace(16 * megabyte);
            MazeSolver solver;
            solver.run();
        },
        FATAL_ALLOCATION);
    EXPECT_EQ(printed, "");
}

}  // namespace
