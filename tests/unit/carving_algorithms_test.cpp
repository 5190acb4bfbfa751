// Every carving of the table, at odd and ordinary sizes and several seeds: a
// perfect maze, the same one for a seed, and the character the literature
// gives it; braiding, the breadth-first solver and the statistics on top.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "braiding.h"
#include "carving_algorithms.h"
#include "maze.h"
#include "maze_solver.h"
#include "maze_statistics.h"
#include "maze_test_fixture.h"
#include "random_source.h"
#include "solution.h"
#include "solving_choices.h"
#include "step_watch.h"
#include "wall_list.h"

namespace {

// Dead ends in percent of the cells at 200 x 150, averaged over three seeds,
// with generous margins around the figures published for each: the
// backtracker and hunt-and-kill about 10 %, Prim's 30 to 36 %, uniform
// spanning trees (Wilson's, Aldous-Broder's) 29.4 %, Kruskal's about 30 %, the
// binary tree 25 %, the sidewinder 27 %, and the others between.
struct Character {
    const char* name;
    double fewestDeadEnds;
    double mostDeadEnds;
};
const Character characters[] = {
    {"kruskal", 28, 33},      {"backtracker", 7, 13},  {"prim", 32, 39},          {"wilson", 28, 31},
    {"aldous-broder", 28, 31}, {"hunt-and-kill", 6, 13}, {"eller", 25, 32},         {"sidewinder", 25, 30},
    {"binary-tree", 23, 27},  {"recursive-division", 22, 32}, {"growing-tree", 14, 26},
};

// A watcher of every step, as the show watches them: a copy of the walls kept
// from the words it is told of alone, and what the solver did, cell by cell.
struct WatchedSteps {
    std::vector<std::uint64_t> shadow;  // the planes as the steps told them
    long long wallSteps = 0;
    long long unchangedWords = 0;       // told of a word that had not changed
    long long fields = 0;
    std::vector<int> entered;           // times each cell was entered
    std::vector<int> left;              // times each cell was backed out of
    std::vector<long long> from;        // the cell each was last entered from
    std::vector<long long> stack;       // cells entered and not yet left, in order
    long long expanded = 0;
    bool leftOutOfOrder = false;        // backed out of a cell other than the last entered
};
WatchedSteps watched;

const StepWatch recordingWatch = {
    [](const std::uint64_t* word) {
        const long long at = word - walls->vertical;
        watched.unchangedWords += watched.shadow[at] == *word;
        watched.shadow[at] = *word;
        ++watched.wallSteps;
    },
    [] {
        std::copy(walls->vertical, walls->vertical + watched.shadow.size(), watched.shadow.begin());
        ++watched.fields;
    },
    [](long long cell, long long from) {
        ++watched.entered[cell];
        watched.from[cell] = from;
        watched.stack.push_back(cell);
    },
    [](long long cell) {
        ++watched.left[cell];
        watched.leftOutOfOrder = watched.leftOutOfOrder || watched.stack.empty() || watched.stack.back() != cell;
        if (!watched.stack.empty())
            watched.stack.pop_back();
    },
    [](long long) { ++watched.expanded; },
};

// Watches the steps on the current (closed) wall list from now on.
void watchSteps()
{
    const long long cells = static_cast<long long>(mazeWidth) * mazeHeight;
    watched = WatchedSteps{};
    watched.shadow.assign(walls->vertical, walls->vertical + wallPlaneBytes(mazeWidth, mazeHeight) / 8);
    watched.entered.assign(cells, 0);
    watched.left.assign(cells, 0);
    watched.from.assign(cells, -2);
    stepWatch = &recordingWatch;
}

bool shadowMatchesWalls()
{
    return std::equal(watched.shadow.begin(), watched.shadow.end(), walls->vertical);
}

class CarvingAlgorithmsTest : public MazeTest {
protected:
    static void carve(const CarvingAlgorithm& algorithm, int width, int height, unsigned seed)
    {
        buildClosedMaze(width, height);
        seedRandomSource(seed);
        algorithm.carve();
    }

    // The open sides of every cell, counted from the wall records themselves.
    static std::vector<int> waysOut()
    {
        std::vector<int> ways(static_cast<std::size_t>(mazeWidth) * mazeHeight, 0);
        for (int i = 0; i < wallCount(); ++i) {
            const Wall wall = wallRecord(i);
            if (!wall.present) {
                ++ways[static_cast<std::size_t>(wall.cell1)];
                ++ways[static_cast<std::size_t>(wall.cell2)];
            }
        }
        return ways;
    }

    static double deadEndPercent()
    {
        const std::vector<int> ways = waysOut();
        return 100.0 * static_cast<double>(std::count(ways.begin(), ways.end(), 1)) / static_cast<double>(ways.size());
    }
};

TEST_F(CarvingAlgorithmsTest, EveryAlgorithmCarvesAPerfectMazeTheSameForASeedOthersForOthers)
{
    const std::pair<int, int> sizes[] = {{1, 1}, {2, 1}, {3, 2}, {1000, 3}, {3, 1000}, {200, 150}};
    for (int a = 0; a < carvingAlgorithmCount; ++a) {
        const CarvingAlgorithm& algorithm = carvingAlgorithms[a];
        for (auto [width, height] : sizes) {
            std::vector<std::vector<unsigned char>> mazes;
            for (unsigned seed : {1u, 7u, 1000000000u}) {
                SCOPED_TRACE(std::string(algorithm.name) + " " + std::to_string(width) + " x " +
                             std::to_string(height) + ", seed " + std::to_string(seed));
                carve(algorithm, width, height, seed);
                EXPECT_EQ(removedWallCount(), width * height - 1);
                const std::vector<int> moves = movesFromStart();
                EXPECT_EQ(std::count(moves.begin(), moves.end(), -1), 0) << "cells the start does not reach";
                mazes.push_back(presentFlags());
                carve(algorithm, width, height, seed);
                EXPECT_EQ(presentFlags(), mazes.back()) << "another maze from the same seed";
            }
            if (width * height >= 3000) {
                EXPECT_NE(mazes[0], mazes[1]) << algorithm.name;
                EXPECT_NE(mazes[1], mazes[2]) << algorithm.name;
            }
        }
    }
}

TEST_F(CarvingAlgorithmsTest, EachAlgorithmHasTheCharacterItsLiteratureGivesIt)
{
    ASSERT_EQ(static_cast<int>(std::size(characters)), carvingAlgorithmCount);
    for (const Character& character : characters) {
        const CarvingAlgorithm* algorithm = findCarvingAlgorithm(character.name);
        ASSERT_NE(algorithm, nullptr) << character.name;
        double total = 0;
        for (unsigned seed : {11u, 12u, 13u}) {
            carve(*algorithm, 200, 150, seed);
            total += deadEndPercent();
        }
        EXPECT_GE(total / 3, character.fewestDeadEnds) << character.name;
        EXPECT_LE(total / 3, character.mostDeadEnds) << character.name;
    }

    // The biased ones show it: corridors along the top row (and the left
    // column, for the binary tree) whatever the seed.
    for (const char* name : {"binary-tree", "sidewinder"}) {
        for (unsigned seed : {1u, 2u}) {
            carve(*findCarvingAlgorithm(name), 40, 30, seed);
            for (int x = 0; x + 1 < mazeWidth; ++x)
                EXPECT_FALSE(wallStands(rightWallRecord(x, 0))) << name << ": top row, x = " << x;
            for (int y = 0; y + 1 < mazeHeight && std::string(name) == "binary-tree"; ++y)
                EXPECT_FALSE(wallStands(lowerWallRecord(0, y))) << name << ": left column, y = " << y;
        }
    }
}

// A 3 x 2 grid has 15 spanning trees; the uniform carvings make each about
// as often (6000 seeds: 400 each, give or take four standard deviations).
TEST_F(CarvingAlgorithmsTest, TheUniformCarvingsMakeEveryMazeAsOften)
{
    for (const char* name : {"wilson", "aldous-broder"}) {
        std::map<std::vector<unsigned char>, int> seen;
        for (unsigned seed = 0; seed < 6000; ++seed) {
            carve(*findCarvingAlgorithm(name), 3, 2, seed);
            ++seen[presentFlags()];
        }
        EXPECT_EQ(seen.size(), 15u) << name;
        for (const auto& [maze, count] : seen) {
            EXPECT_GT(count, 320) << name;
            EXPECT_LT(count, 480) << name;
        }
    }
}

// Braided fully, no dead end is left where every cell has two neighbours or
// more; the loops are the passages beyond a tree's, the statistics count what
// the walls show, and the breadth-first solver's path is a shortest one,
// through open walls, with its lines as the depth-first solver says them.
TEST_F(CarvingAlgorithmsTest, BraidingLeavesNoDeadEndAndTheSolverFindsAShortestPath)
{
    BraidProbability always;
    ASSERT_TRUE(readBraidProbability("1", always));
    BraidProbability half;
    ASSERT_TRUE(readBraidProbability("0.5", half));
    for (int a = 0; a < carvingAlgorithmCount; ++a) {
        for (const BraidProbability& braid : {always, half}) {
            SCOPED_TRACE(std::string(carvingAlgorithms[a].name) + (braid.always ? ", braid 1" : ", braid 0.5"));
            carve(carvingAlgorithms[a], 60, 40, 5);
            const double before = deadEndPercent();
            braidMaze(braid);
            const std::vector<int> ways = waysOut();
            const long long deadEnds = std::count(ways.begin(), ways.end(), 1);
            if (braid.always)
                EXPECT_EQ(deadEnds, 0);
            else
                EXPECT_NEAR(100.0 * deadEnds / 2400, before / 2, before / 4 + 1);
            const MazeStatistics statistics = measureMaze();
            EXPECT_EQ(statistics.deadEnds, deadEnds);
            EXPECT_EQ(statistics.junctions, std::count_if(ways.begin(), ways.end(), [](int w) { return w >= 3; }));
            EXPECT_EQ(loopsOf(statistics), removedWallCount() - 2399);
            EXPECT_GT(loopsOf(statistics), 0);

            mazeMayHaveLoops = true;
            ::testing::internal::CaptureStdout();
            MazeSolver solver;
            solver.run();
            const std::string said = ::testing::internal::GetCapturedStdout();
            const int shortest = movesFromStart().back();
            ASSERT_EQ(solutionMoves, shortest);
            EXPECT_EQ(said, "Solving the maze...I bet I can do this faster than you.\nI solved the maze in " +
                                std::to_string(shortest) + " moves...perhaps there is a faster way\n"
                                "I'm done trying to solve the maze and did it in " + std::to_string(shortest) +
                                " moves\n\nPress spacebar to see my solution to the maze\n");
            std::vector<int> path{mazeWidth * mazeHeight - 1};
            path.insert(path.end(), solutionCells, solutionCells + solutionMoves);
            EXPECT_EQ(path.back(), 0);
            const std::vector<int> moves = movesFromStart();
            for (std::size_t i = 0; i + 1 < path.size(); ++i)
                EXPECT_EQ(moves[static_cast<std::size_t>(path[i + 1])], moves[static_cast<std::size_t>(path[i])] - 1)
                    << "step " << i << " is not a step towards the start";
        }
    }
}

// Whoever watches (the show) is told of every change to the walls as it is
// made, a step each, and of nothing that is no change: one step a passage,
// braiding's included; recursive division's open field is one step, and then
// a step for every wall it builds. Watched or not, the maze is the same.
TEST_F(CarvingAlgorithmsTest, WhoeverWatchesIsToldOfEveryWallChangedAStepEach)
{
    BraidProbability half;
    ASSERT_TRUE(readBraidProbability("0.5", half));
    for (int a = 0; a < carvingAlgorithmCount; ++a) {
        const CarvingAlgorithm& algorithm = carvingAlgorithms[a];
        for (auto [width, height] : {std::pair<int, int>{1, 1}, {2, 1}, {70, 3}, {150, 129}}) {
            SCOPED_TRACE(std::string(algorithm.name) + " " + std::to_string(width) + " x " + std::to_string(height));
            carve(algorithm, width, height, 11);
            const std::vector<unsigned char> unwatched = presentFlags();
            buildClosedMaze(width, height);
            seedRandomSource(11);
            watchSteps();
            algorithm.carve();
            const long long cells = static_cast<long long>(width) * height;
            const bool division = std::string(algorithm.name) == "recursive-division";
            EXPECT_EQ(watched.fields, division && cells > 1 ? 1 : 0);
            EXPECT_EQ(watched.wallSteps, division && cells > 1 ? wallCount() - (cells - 1) : cells - 1);
            EXPECT_EQ(watched.unchangedWords, 0) << "told of a word that did not change";
            EXPECT_TRUE(shadowMatchesWalls()) << "a wall changed without a step";
            EXPECT_EQ(presentFlags(), unwatched);
            const int removed = removedWallCount();
            braidMaze(half);
            EXPECT_EQ(watched.wallSteps - (division && cells > 1 ? wallCount() - (cells - 1) : cells - 1),
                      removedWallCount() - removed);
            EXPECT_TRUE(shadowMatchesWalls()) << "braiding opened a wall without a step";
            stepWatch = nullptr;
        }
    }
}

// The solvers tell whoever watches of every cell they enter, from the cell
// they enter it from, and of every cell they back out of, the last entered
// first: the tree walk ends with the solution as the cells entered and not
// left, the whole search leaves every cell it entered, and the breadth-first
// search enters every cell once, the solution along the cells they were
// entered from.
TEST_F(CarvingAlgorithmsTest, WhoeverWatchesSeesEverySolverEnterAndLeaveItsCells)
{
    for (int search = 0; search < 3; ++search) {
        SCOPED_TRACE(search == 0 ? "tree walk" : search == 1 ? "whole search" : "breadth-first search");
        carve(carvingAlgorithms[1], 40, 30, 3);
        if (search == 0)
            declarePerfectMaze();  // as the run's carving declares it: walked along its one path
        if (search == 1)
            openWall(0, 1);  // known perfect no more: searched whole
        if (search == 2)
            braidMaze(BraidProbability{true, 0});
        mazeMayHaveLoops = search == 2;
        watchSteps();
        ::testing::internal::CaptureStdout();
        MazeSolver solver;
        solver.run();
        ::testing::internal::GetCapturedStdout();
        stepWatch = nullptr;
        mazeMayHaveLoops = false;
        EXPECT_FALSE(watched.leftOutOfOrder);
        EXPECT_EQ(watched.wallSteps, 0);
        const long long goal = 40 * 30 - 1;
        ASSERT_GE(watched.entered[goal], 1);
        EXPECT_EQ(watched.from[0], -1) << "the start is entered from nowhere";
        if (search == 1) {
            EXPECT_TRUE(watched.stack.empty()) << "the whole search leaves every cell it entered";
            EXPECT_EQ(watched.entered, watched.left);
            continue;
        }
        // The solution, goal first, as the steps trace it back.
        std::vector<long long> traced;
        for (long long cell = goal; cell != 0; cell = watched.from[cell]) {
            ASSERT_GE(cell, 0);
            traced.push_back(cell);
        }
        traced.push_back(0);
        std::vector<long long> solution{goal};
        solution.insert(solution.end(), solutionCells, solutionCells + solutionMoves);
        EXPECT_EQ(traced, solution);
        if (search == 0) {
            EXPECT_EQ(std::vector<long long>(watched.stack.rbegin(), watched.stack.rend()), solution);
            EXPECT_EQ(*std::max_element(watched.entered.begin(), watched.entered.end()), 1);
        } else {
            EXPECT_EQ(*std::max_element(watched.entered.begin(), watched.entered.end()), 1);
            EXPECT_GT(watched.expanded, 0);
        }
    }
}

// Braiding at 0 leaves the maze and the random source as they were; the
// decimals it takes and those it refuses.
TEST_F(CarvingAlgorithmsTest, BraidingAtZeroChangesNothingAndOnlyDecimalsFromZeroToOneAreTaken)
{
    BraidProbability probability;
    for (const char* text : {"0", "0.0", ".000"}) {
        ASSERT_TRUE(readBraidProbability(text, probability)) << text;
        EXPECT_TRUE(probability.never()) << text;
    }
    carve(*findCarvingAlgorithm("prim"), 30, 20, 3);
    const std::vector<unsigned char> carved = presentFlags();
    braidMaze(probability);
    EXPECT_EQ(presentFlags(), carved);
    for (const char* text : {"1", "1.000", "01"}) {
        ASSERT_TRUE(readBraidProbability(text, probability)) << text;
        EXPECT_TRUE(probability.always) << text;
    }
    ASSERT_TRUE(readBraidProbability("0.25", probability));
    EXPECT_EQ(probability.threshold, 1ull << 62);
    for (const char* text : {"", ".", "1.5", "2", "-0.5", "+0.5", "0.5x", "1e-3", "0,5", "1.0000000000000000000001"})
        EXPECT_FALSE(readBraidProbability(text, probability)) << text;
}

}  // namespace
