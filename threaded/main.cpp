// maze_threaded: opens the window as soon as the maze is carved and solves it
// on a worker thread meanwhile, which then saves the picture asked for; the
// space bar works once the solver is done. With --watch the window opens
// first, and the worker carves as well, at the pace the window shows.
#include <GL/glut.h>
#include <zthread/CountedPtr.h>
#include <zthread/Exceptions.h>
#include <zthread/Runnable.h>
#include <zthread/Thread.h>

#include <optional>

#include "command_line.h"
#include "console.h"
#include "fatal_exit.h"
#include "maze_generation.h"
#include "maze_show.h"
#include "maze_window.h"
#include "memory_budget.h"
#include "random_source.h"
#include "solution_overlay.h"
#include "solver_worker.h"
#include "standard_descriptors.h"
#include "wall_list.h"

int main(int argc, char** argv)
{
    openClosedStandardDescriptors();
    const CommandLine options = readCommandLine(&argc, argv, "maze_threaded");
    keepRunningWhenReadersGo();
    showSolution = 0;
    const std::uint32_t seed = chooseSeed(options);
    seedRandomSource(seed);
    takeMazeSize(options);
    consolePrint("Generating maze...\n");
    checkRunFits(SHOW_WHILE_SOLVING, plannedRunOutputs(options, argc, argv));
    if (options.watches) {
        // The window opens on the closed grid; the worker carves it, then solves it.
        createWallList();
        startShow(&argc, argv, options.pace, false);
    } else {
        carveNewMaze();
        if (options.opensWindow)
            showMazeWindow(&argc, argv);
    }

    // The worker's reference is the one that keeps the solver alive; with a
    // window the thread is never joined, since the GLUT loop never returns. A
    // thread the system refuses (a limit on threads reached since the check
    // before carving) makes ZThread throw: the run ends with a status of its own.
    ZThread::CountedPtr<ZThread::Runnable> solver(
        new SolverWorker(options.savesPicture ? &options.picture : nullptr, seed, options.watches));
    std::optional<ZThread::Thread> worker;
    try {
        worker.emplace(solver);
    } catch (const ZThread::Synchronization_Exception&) {
        fatalExit(FATAL_THREAD_START);
    }
    solver.reset();

    if (!options.opensWindow) {
        // Without a window the run is over once the worker has saved the picture.
        worker->wait();
        return 0;
    }
    glutMainLoop();
    return 0;
}
