// A clean slate for every test that touches the process-wide maze and solver
// state, plus the few ways tests set up and examine a maze.
#ifndef MAZE_TEST_FIXTURE_H
#define MAZE_TEST_FIXTURE_H

#include <gtest/gtest.h>

#include <vector>

class MazeTest : public ::testing::Test {
protected:
    // Both reset the size, the wall list and the solver's results, so no
    // test sees what an earlier one left behind.
    void SetUp() override;
    void TearDown() override;

    // Sets the size and creates its closed wall list, every wall standing.
    static void buildClosedMaze(int width, int height);

    // Sets the size, creates its wall list and carves it with the random
    // source seeded with seed.
    static void buildCarvedMaze(int width, int height, unsigned seed);

    // Removes the wall between cells a and b; the wall must exist.
    static void openWall(int a, int b);

    // Removes every wall of the current list.
    static void openEveryWall();

    // How many records of the wall list have been removed.
    static int removedWallCount();

    // Moves from the start cell to every cell through removed walls (-1 where
    // no path leads), found with a breadth-first walk over the wall list.
    static std::vector<int> movesFromStart();

    // The present flags of the whole list, to compare two mazes.
    static std::vector<unsigned char> presentFlags();

    // Sets the present flag of every record, one flag per record in list order.
    static void setPresentFlags(const std::vector<unsigned char>& flags);

private:
    static void resetMazeState();
};

#endif
