// A fixture for tests that build a maze in the process-wide globals, run the
// fast code and its reference on it, and compare. It puts the globals back the
// way a fresh run finds them, since both sides read and write them.
#ifndef MAZE_ORACLE_TEST_H
#define MAZE_ORACLE_TEST_H

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

class MazeOracleTest : public testing::Test {
protected:
    void TearDown() override;

    // Makes mazeWidth x mazeHeight the current size with a closed wall list.
    void useClosedGrid(int width, int height);

    // useClosedGrid, then carveMaze from the given seed.
    void useCarvedMaze(int width, int height, std::uint32_t seed);

    // The present flag of every wall record, in list order.
    std::vector<unsigned char> presentFlags() const;

    // Sets every record's present flag from flags (one per record).
    void setPresentFlags(const std::vector<unsigned char>& flags);

    // Removes the wall between two neighbouring cells; fails the test when no
    // record joins them.
    void openPassage(int x1, int y1, int x2, int y2);
};

#endif
