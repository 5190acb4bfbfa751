// The solver on a ZThread worker beside the GLUT thread: the hand-over of the
// solution under solverLock, the wall list freed by the worker, and a fatal
// level raised on the worker ending the whole process.
#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <zthread/CountedPtr.h>
#include <zthread/Runnable.h>
#include <zthread/Thread.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "carving.h"
#include "gl_window.h"
#include "maze.h"
#include "maze_test_fixture.h"
#include "random_source.h"
#include "solution.h"
#include "solution_overlay.h"
#include "solver_worker.h"
#include "wall_list.h"

namespace {

// Whether the goal cell is open both upwards and to the left, which makes the
// search come back into it the long way round once.
bool goalOpenUpAndLeft()
{
    return wallBetween(mazeWidth - 1, mazeHeight - 1, mazeWidth - 1, mazeHeight - 2) == 0 &&
           wallBetween(mazeWidth - 1, mazeHeight - 1, mazeWidth - 2, mazeHeight - 1) == 0;
}

// Starts the solver the way maze_threaded does: the thread's reference is the
// only one left once it runs.
ZThread::Thread* startWorker()
{
    ZThread::CountedPtr<ZThread::Runnable> solver(new SolverWorker(nullptr, 0));
    ZThread::Thread* worker = new ZThread::Thread(solver);
    solver.reset();
    return worker;
}

}  // namespace

using SolverWorkerTest = MazeTest;

TEST_F(SolverWorkerTest, SolvesOnItsThreadHandsTheSolutionOverAndFreesTheWalls)
{
    buildCarvedMaze(90, 70, 11);
    const int expectedMoves = movesFromStart().back();  // the one path of a perfect maze
    std::string expected = "Solving the maze...I bet I can do this faster than you.\n";
    expected += "I solved the maze in " + std::to_string(expectedMoves) + " moves...perhaps there is a faster way\n";
    if (goalOpenUpAndLeft())
        expected += "Maze solved again, but this time it was longer\n";
    expected += "I'm done trying to solve the maze and did it in " + std::to_string(expectedMoves) + " moves\n";
    expected += "\nPress spacebar to see my solution to the maze\n";

    testing::internal::CaptureStdout();
    ZThread::Thread* worker = startWorker();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!isSolved() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    worker->wait();  // only the test joins: it must read the output afterwards
    delete worker;
    const std::string transcript = testing::internal::GetCapturedStdout();

    ASSERT_TRUE(isSolved());
    EXPECT_EQ(transcript, expected);
    EXPECT_EQ(solutionMoves, expectedMoves);
    ASSERT_NE(solutionCells, nullptr);
    EXPECT_EQ(solutionCells[solutionMoves - 1], 0) << "the path ends at the start cell";
    EXPECT_EQ(walls, nullptr) << "the worker is the wall list's last reader and frees it";
}

TEST_F(SolverWorkerTest, TheWindowRedrawsWhileTheWorkerSolvesAndShowsTheLineAfterwards)
{
    buildCarvedMaze(700, 500, 5);
    // The walls written again: the solver no longer knows the maze is perfect
    // and searches it whole, which takes long enough for redraws to race it.
    setPresentFlags(presentFlags());
    openTestWindow();
    showSolution = 0;

    testing::internal::CaptureStdout();
    ZThread::Thread* worker = startWorker();
    // The GLUT thread's side: redraws and space presses race the worker's
    // writes; before the solver is done a space press must change nothing.
    bool pressedBeforeSolved = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (solutionListBuilt == 0 && std::chrono::steady_clock::now() < deadline) {
        const bool finished = isSolved();
        const unsigned char before = showSolution;
        onKey(' ', 0, 0);
        if (!finished && !isSolved()) {
            pressedBeforeSolved = true;
            EXPECT_EQ(showSolution, before);
        }
        displayMaze();
        glutMainLoopEvent();
    }
    worker->wait();
    delete worker;
    testing::internal::GetCapturedStdout();

    EXPECT_TRUE(pressedBeforeSolved) << "the maze was solved before the first redraw; use a larger one";
    EXPECT_EQ(solutionListBuilt, 1);
    EXPECT_EQ(solutionCells, nullptr) << "the redraw that compiled the line freed the cells";
}

namespace {

// The threaded program's run with a maze whose goal no passage reaches.
void runWithWalledOffGoal()
{
    mazeWidth = 6;
    mazeHeight = 4;
    createWallList();
    for (int i = 0; i < wallCount(); ++i)
        removeWall(i);
    // Close the goal's two inner sides: everything else stays open.
    const int goal = mazeWidth * mazeHeight - 1;
    for (int i = 0; i < wallCount(); ++i)
        if (wallRecord(i).cell2 == goal)
            restoreWall(i);
    openTestWindow();
    ZThread::CountedPtr<ZThread::Runnable> solver(new SolverWorker(nullptr, 0));
    ZThread::Thread worker(solver);
    solver.reset();
    glutMainLoop();
}

}  // namespace

TEST(SolverWorkerDeathTest, AFatalLevelOnTheWorkerEndsTheWholeProcess)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "this test needs an X display (run it under Xvfb)";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(runWithWalledOffGoal(), testing::ExitedWithCode(8),
                "^A fatal error has occured in the program and it is \t\t\t\t\texiting with level 8\n$");
}

namespace {

// Closing the window ends the process through exit while the worker may
// still be solving; exit runs the static destructors, and the worker still
// takes solverLock when it finishes.
void exitWhileTheWorkerSolves()
{
    mazeWidth = 1500;
    mazeHeight = 1500;
    seedRandomSource(3);
    createWallList();
    carveMaze();
    startWorker();
    std::exit(0);
}

}  // namespace

TEST(SolverWorkerDeathTest, ClosingTheWindowWhileTheWorkerSolvesEndsTheProcessCleanly)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(exitWhileTheWorkerSolves(), testing::ExitedWithCode(0), "");
}

