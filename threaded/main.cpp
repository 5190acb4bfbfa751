// maze_threaded: opens the window as soon as the maze is carved and solves it
// on a worker thread meanwhile; the space bar works once the solver is done.
#include <GL/glut.h>
#include <zthread/CountedPtr.h>
#include <zthread/Exceptions.h>
#include <zthread/Runnable.h>
#include <zthread/Thread.h>

#include <optional>

#include "fatal_exit.h"
#include "maze_generation.h"
#include "maze_window.h"
#include "solution_overlay.h"
#include "standard_descriptors.h"
#include "solver_worker.h"

int main(int argc, char** argv)
{
    openClosedStandardDescriptors();
    showSolution = 0;
    generateMaze(SHOW_WHILE_SOLVING);
    showMazeWindow(&argc, argv);

    // The worker's reference is the one that keeps the solver alive; the
    // thread is never joined, since the GLUT loop never returns. A thread the
    // system refuses (a limit on threads reached since the check before
    // carving) makes ZThread throw: the run ends with a status of its own.
    ZThread::CountedPtr<ZThread::Runnable> solver(new SolverWorker);
    std::optional<ZThread::Thread> worker;
    try {
        worker.emplace(solver);
    } catch (const ZThread::Synchronization_Exception&) {
        fatalExit(FATAL_THREAD_START);
    }
    solver.reset();

    glutMainLoop();
    return 0;
}
