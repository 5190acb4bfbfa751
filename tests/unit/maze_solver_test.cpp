// The depth-first solver: what it says, and the solution it leaves for the
// display, on hand-made mazes whose search can be followed step by step.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fatal_exit.h"
#include "fatal_expectation.h"
#include "maze.h"
#include "maze_solver.h"
#include "maze_test_fixture.h"
#include "solution.h"
#include "wall_list.h"

namespace {

const std::string openingLine = "Solving the maze...I bet I can do this faster than you.\n";
const std::string againLine = "Maze solved again, but this time it was longer\n";
const std::string pressSpaceLine = "\nPress spacebar to see my solution to the maze\n";

std::string solvedLine(int moves)
{
    return "I solved the maze in " + std::to_string(moves) + " moves...perhaps there is a faster way\n";
}

std::string doneLine(int moves)
{
    return "I'm done trying to solve the maze and did it in " + std::to_string(moves) + " moves\n";
}

class MazeSolverTest : public MazeTest {
protected:
    // Solves the current maze and returns everything it printed.
    static std::string solve()
    {
        ::testing::internal::CaptureStdout();
        MazeSolver solver;
        solver.run();
        return ::testing::internal::GetCapturedStdout();
    }

    static std::vector<int> solution()
    {
        if (solutionMoves <= 0 || solutionCells == nullptr)
            return {};
        return std::vector<int>(solutionCells, solutionCells + solutionMoves);
    }
};

TEST_F(MazeSolverTest, TwoByOneIsSolvedInOneMove)
{
    buildCarvedMaze(2, 1, 1);
    EXPECT_EQ(solve(), openingLine + solvedLine(1) + doneLine(1) + pressSpaceLine);
    EXPECT_EQ(solutionMoves, 1);
    EXPECT_EQ(solution(), std::vector<int>{0});
    EXPECT_EQ(solved, 1);
}

// Down from (0,0) is tried before right, but only right leads on to the goal.
TEST_F(MazeSolverTest, TwoByTwoPathGoesRightThenDown)
{
    buildClosedMaze(2, 2);
    openWall(0, 1);
    openWall(1, 3);
    openWall(0, 2);
    EXPECT_EQ(solve(), openingLine + solvedLine(2) + doneLine(2) + pressSpaceLine);
    EXPECT_EQ(solutionMoves, 2);
    EXPECT_EQ(solution(), (std::vector<int>{1, 0}));
}

// The goal has both inner sides open: the search goes on from the goal into
// (0,1) and steps back into the goal with four moves.
TEST_F(MazeSolverTest, GoalReachedAgainFromBeyondItKeepsTheFirstSolution)
{
    buildClosedMaze(2, 2);
    openWall(0, 1);
    openWall(1, 3);
    openWall(2, 3);
    EXPECT_EQ(solve(), openingLine + solvedLine(2) + againLine + doneLine(2) + pressSpaceLine);
    EXPECT_EQ(solutionMoves, 2);
    EXPECT_EQ(solution(), (std::vector<int>{1, 0}));
}

// 0 1 2     A 3 x 3 maze with one loop: down first, the search winds
// 3 4 5     0-3-6-7-4-5-8 (6 moves); later, going right from the start,
// 6 7 8     it finds 0-1-2-5-8 (4 moves), which replaces the first solution.
TEST_F(MazeSolverTest, ShorterArrivalReplacesTheEarlierSolution)
{
    buildClosedMaze(3, 3);
    const std::pair<int, int> passages[] = {{0, 3}, {3, 6}, {6, 7}, {4, 7}, {4, 5}, {5, 8}, {0, 1}, {1, 2}, {2, 5}};
    for (auto [a, b] : passages)
        openWall(a, b);
    EXPECT_EQ(solve(), openingLine + solvedLine(6) + solvedLine(4) + doneLine(4) + pressSpaceLine);
    EXPECT_EQ(solutionMoves, 4);
    EXPECT_EQ(solution(), (std::vector<int>{5, 2, 1, 0}));
}

TEST_F(MazeSolverTest, SingleRowSolutionIsTheWholeRowBackwards)
{
    buildCarvedMaze(7, 1, 3);
    EXPECT_EQ(solve(), openingLine + solvedLine(6) + doneLine(6) + pressSpaceLine);
    EXPECT_EQ(solutionMoves, 6);
    EXPECT_EQ(solution(), (std::vector<int>{5, 4, 3, 2, 1, 0}));
}

TEST_F(MazeSolverTest, SingleCellIsSolvedInZeroMoves)
{
    buildCarvedMaze(1, 1, 1);
    EXPECT_EQ(solve(), openingLine + solvedLine(0) + doneLine(0) + pressSpaceLine);
    EXPECT_EQ(solutionMoves, 0);
    EXPECT_EQ(solved, 1);
}

TEST_F(MazeSolverTest, ResultLeftFromAnEarlierSolveDoesNotCount)
{
    buildCarvedMaze(2, 1, 1);
    solutionMoves = 0;
    EXPECT_EQ(solve(), openingLine + solvedLine(1) + doneLine(1) + pressSpaceLine);
    EXPECT_EQ(solutionMoves, 1);
}

TEST_F(MazeSolverTest, LongRowNeedsNoDeepStack)
{
    const int width = 3000;
    buildCarvedMaze(width, 1, 5);
    EXPECT_EQ(solve(), openingLine + solvedLine(width - 1) + doneLine(width - 1) + pressSpaceLine);
    ASSERT_EQ(solutionMoves, width - 1);
    for (int i = 0; i < solutionMoves; ++i)
        ASSERT_EQ(solutionCells[i], width - 2 - i) << "step " << i;
}

// Every row open along its length, rows joined alternately at the right and
// the left end: one path through all cells, as deep as a search can go.
TEST_F(MazeSolverTest, SerpentineThroughEveryCellNeedsNoDeepStack)
{
    const int width = 1000;
    const int height = 999;  // odd, so the last row runs left to right into the goal
    buildClosedMaze(width, height);
    std::vector<int> serpentine;
    for (int y = 0; y < height; ++y) {
        for (int step = 0; step < width; ++step) {
            const int x = y % 2 == 0 ? step : width - 1 - step;
            serpentine.push_back(x + y * width);
        }
    }
    for (int i = 0; i < wallCount(); ++i) {
        const Wall wall = wallRecord(i);
        const bool sideBySide = wall.cell2 == wall.cell1 + 1;
        const int x = wall.cell1 % width;
        const int y = wall.cell1 / width;
        const int turningColumn = y % 2 == 0 ? width - 1 : 0;
        if (sideBySide || x == turningColumn)
            removeWall(i);
    }
    const int moves = width * height - 1;
    EXPECT_EQ(solve(), openingLine + solvedLine(moves) + doneLine(moves) + pressSpaceLine);
    ASSERT_EQ(solutionMoves, moves);
    for (int i = 0; i < moves; ++i)
        ASSERT_EQ(solutionCells[i], serpentine[static_cast<std::size_t>(moves - 1 - i)]) << "step " << i;
}

// A carved maze is a tree: one arrival along its only path, plus one longer
// arrival exactly when the search can walk on past the goal and come back.
TEST_F(MazeSolverTest, CarvedThousandByThousandFollowsItsOnlyPath)
{
    const int side = 1000;
    buildCarvedMaze(side, side, 1000000000);
    const std::vector<int> moves = movesFromStart();
    const int goal = side * side - 1;
    const int pathMoves = moves[static_cast<std::size_t>(goal)];
    const bool goalOpenUpAndLeft =
        wallBetween(side - 1, side - 1, side - 1, side - 2) == 0 && wallBetween(side - 1, side - 1, side - 2, side - 1) == 0;
    EXPECT_EQ(solve(), openingLine + solvedLine(pathMoves) + (goalOpenUpAndLeft ? againLine : "") + doneLine(pathMoves) +
                           pressSpaceLine);
    ASSERT_EQ(solutionMoves, pathMoves);
    // Walking the solution back from the goal, each step is through an open
    // wall and one move closer to the start.
    int previous = goal;
    for (int i = 0; i < solutionMoves; ++i) {
        const int cell = solutionCells[i];
        ASSERT_EQ(wallBetween(cell % side, cell / side, previous % side, previous / side), 0) << "step " << i;
        ASSERT_EQ(moves[static_cast<std::size_t>(cell)], pathMoves - 1 - i) << "step " << i;
        previous = cell;
    }
    EXPECT_EQ(previous, 0);
}

using MazeSolverDeathTest = MazeSolverTest;

TEST_F(MazeSolverDeathTest, WalledOffGoalEndsWithLevel8AfterTheOpeningLine)
{
    const std::string printed = expectFatalExit(
        [] {
            buildClosedMaze(3, 3);
            openWall(0, 1);
            openWall(1, 4);
            openWall(4, 5);  // the goal, cell 8, stays shut off
            MazeSolver solver;
            solver.run();
        },
        FATAL_GOAL_UNREACHED);
    EXPECT_EQ(printed, openingLine);
}

}  // namespace
