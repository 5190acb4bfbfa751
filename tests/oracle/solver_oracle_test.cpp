// MazeSolver searches on its own stack; the recursive solver is the search as
// first written. On the same wall list both must print the same lines and
// leave the same solution, which on mazes with loops depends on the exact
// neighbour order, the pruning test and when the best move counts are written.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "maze.h"
#include "maze_test_fixture.h"
#include "maze_solver.h"
#include "recursive_solver.h"
#include "solution.h"
#include "wall_list.h"

namespace {

struct SolverOutcome {
    std::string console;
    int moves;
    std::vector<int> cells;
    unsigned char solvedFlag;
};

// Runs a solver from the state a fresh run starts in and collects what it leaves behind.
template <typename Solver>
SolverOutcome solveWith()
{
    std::free(solutionCells);
    solutionCells = nullptr;
    solutionMoves = 12345;  // run must reset it
    solved = 0;
    testing::internal::CaptureStdout();
    {
        Solver solver;
        solver.run();
    }
    SolverOutcome outcome;
    outcome.console = testing::internal::GetCapturedStdout();
    outcome.moves = solutionMoves;
    outcome.solvedFlag = solved;
    if (solutionMoves > 0)
        outcome.cells.assign(solutionCells, solutionCells + solutionMoves);
    return outcome;
}

int occurrences(const std::string& text, const std::string& piece)
{
    int count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++count;
    return count;
}

const char improvedLine[] = "I solved the maze in ";
const char longerLine[] = "Maze solved again, but this time it was longer\n";

class SolverOracle : public MazeTest {
protected:
    // Solves the current wall list both ways and compares everything observable.
    // Returns the reference's outcome so callers can check what the case exercised.
    SolverOutcome expectSameSolve()
    {
        const std::vector<unsigned char> wallsBefore = presentFlags();
        const SolverOutcome reference = solveWith<RecursiveMazeSolver>();
        const SolverOutcome fast = solveWith<MazeSolver>();
        EXPECT_EQ(fast.console, reference.console);
        EXPECT_EQ(fast.moves, reference.moves);
        EXPECT_EQ(fast.cells, reference.cells);
        EXPECT_EQ(fast.solvedFlag, 1);
        EXPECT_EQ(presentFlags(), wallsBefore) << "the solver changed the wall list";
        return reference;
    }

    // Removes count more walls, chosen at random among those still standing.
    void openRandomWalls(int count, std::mt19937& random)
    {
        std::vector<unsigned char> flags = presentFlags();
        std::vector<int> standing;
        for (std::size_t i = 0; i < flags.size(); ++i)
            if (flags[i] != 0)
                standing.push_back(static_cast<int>(i));
        std::shuffle(standing.begin(), standing.end(), random);
        for (int i = 0; i < count && i < static_cast<int>(standing.size()); ++i)
            flags[standing[i]] = 0;
        setPresentFlags(flags);
    }
};

std::string describe(int width, int height, std::uint32_t seed)
{
    return std::to_string(width) + " x " + std::to_string(height) + " from seed " + std::to_string(seed);
}

TEST_F(SolverOracle, AgreesOnCarvedMazes)
{
    const std::pair<int, int> sizes[] = {{1, 1},  {2, 1},  {9, 1},   {2, 2},   {3, 2},   {2, 7},
                                         {5, 5},  {12, 8}, {8, 12},  {25, 25}, {40, 30}, {64, 16}};
    int longerArrivals = 0;
    for (const auto& [width, height] : sizes) {
        for (std::uint32_t seed : {1u, 2u, 3u, 2024u, 1000000000u}) {
            SCOPED_TRACE(describe(width, height, seed));
            buildCarvedMaze(width, height, seed);
            const SolverOutcome outcome = expectSameSolve();
            // A tree has one path to the goal: found once, never improved.
            EXPECT_EQ(occurrences(outcome.console, improvedLine), 1);
            longerArrivals += occurrences(outcome.console, longerLine);
        }
    }
    // Some of these trees open both inner sides of the goal, so the search
    // re-enters the goal from the branch beyond it.
    EXPECT_GT(longerArrivals, 0);
}

// The solver of a carved maze walks its one path; the whole search, given
// the same walls not known to be a tree, must print the same lines and leave
// the same solution, over mazes of every shape.
TEST_F(SolverOracle, PathOfAPerfectMazeGivesWhatTheWholeSearchGives)
{
    std::mt19937 random(26);
    int longerArrivals = 0;
    for (int round = 0; round < 400; ++round) {
        const int width = 2 + static_cast<int>(random() % 60);
        const int height = 1 + static_cast<int>(random() % 60);
        const std::uint32_t seed = static_cast<std::uint32_t>(random());
        SCOPED_TRACE(describe(width, height, seed));
        buildCarvedMaze(width, height, seed);
        ASSERT_TRUE(isKnownPerfectMaze());
        const SolverOutcome walked = solveWith<MazeSolver>();
        setPresentFlags(presentFlags());
        ASSERT_FALSE(isKnownPerfectMaze());
        const SolverOutcome searched = solveWith<MazeSolver>();
        EXPECT_EQ(walked.console, searched.console);
        EXPECT_EQ(walked.moves, searched.moves);
        EXPECT_EQ(walked.cells, searched.cells);
        longerArrivals += occurrences(walked.console, longerLine);
        if (HasFailure())
            return;
    }
    EXPECT_GT(longerArrivals, 50);
}

// Long single paths: the deepest searches, and a stack that grows to the whole
// maze; then larger mazes, the second with loops far from the start.
TEST_F(SolverOracle, AgreesOnLongCorridorsAndLargerMazes)
{
    buildCarvedMaze(3000, 1, 1);
    expectSameSolve();
    buildCarvedMaze(2, 1500, 1);
    expectSameSolve();
    buildCarvedMaze(100, 80, 1000000000u);
    expectSameSolve();
    std::mt19937 random(77);
    buildCarvedMaze(90, 70, 6u);
    openRandomWalls(60, random);
    const SolverOutcome outcome = expectSameSolve();
    EXPECT_GT(occurrences(outcome.console, improvedLine), 1);
}

// Carved mazes with extra walls opened: loops give the search several routes
// to a cell and to the goal, so later arrivals can be shorter (and replace
// the captured path) or longer (and only be reported).
TEST_F(SolverOracle, AgreesOnMazesWithLoops)
{
    std::mt19937 random(8080);
    int improvements = 0;
    int longerArrivals = 0;
    const std::pair<int, int> sizes[] = {{2, 2}, {3, 3}, {4, 3}, {3, 5}, {6, 6}, {10, 7}, {16, 16}, {30, 20}};
    for (const auto& [width, height] : sizes) {
        const int wallsInGrid = width * (height - 1) + height * (width - 1);
        for (int round = 0; round < 12; ++round) {
            const std::uint32_t seed = 100u + static_cast<std::uint32_t>(round);
            // From one extra opening up to a third of the remaining walls.
            const int extra = 1 + static_cast<int>(random() % (1 + (wallsInGrid - width * height + 1) / 3));
            SCOPED_TRACE(describe(width, height, seed) + " with " + std::to_string(extra) + " walls opened");
            buildCarvedMaze(width, height, seed);
            openRandomWalls(extra, random);
            const SolverOutcome outcome = expectSameSolve();
            improvements += occurrences(outcome.console, improvedLine) > 1 ? 1 : 0;
            longerArrivals += occurrences(outcome.console, longerLine);
            if (HasFailure())
                return;
        }
    }
    EXPECT_GT(improvements, 0);
    EXPECT_GT(longerArrivals, 0);
}

// With every wall gone each cell is reachable along many paths of different
// lengths, so cells are re-entered again and again with smaller counts.
TEST_F(SolverOracle, AgreesOnFullyOpenGrids)
{
    for (const auto& [width, height] : {std::pair{2, 2}, {3, 2}, {2, 3}, {3, 3}, {4, 4}, {5, 3}, {5, 5}, {6, 6}, {8, 5}, {10, 10}, {16, 12}}) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height) + " with no walls");
        buildClosedMaze(width, height);
        setPresentFlags(std::vector<unsigned char>(static_cast<std::size_t>(wallCount()), 0));
        expectSameSolve();
    }
}

// Independent random walls: loops, dead pockets and unreachable cells at once.
// Lists whose goal is cut off are left to the test of that failure.
TEST_F(SolverOracle, AgreesOnRandomWallLists)
{
    std::mt19937 random(31);
    int compared = 0;
    for (int round = 0; round < 300; ++round) {
        const int width = 2 + static_cast<int>(random() % 11);
        const int height = 1 + static_cast<int>(random() % 11);
        const unsigned openPercent = 45 + random() % 50;
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height) + ", round " + std::to_string(round));
        buildClosedMaze(width, height);
        std::vector<unsigned char> flags = presentFlags();
        for (unsigned char& flag : flags)
            flag = random() % 100 < openPercent ? 0 : 1;
        setPresentFlags(flags);
        if (movesFromStart().back() < 0)
            continue;
        expectSameSolve();
        ++compared;
        if (HasFailure())
            return;
    }
    EXPECT_GT(compared, 150);
}

}  // namespace
