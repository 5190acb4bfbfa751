#include "solver_worker.h"

#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include "fatal_exit.h"
#include "maze_generation.h"
#include "maze_show.h"
#include "picture_file.h"
#include "solution.h"
#include "wall_list.h"
#include "zeroed_array.h"

namespace {

// Whether the worker is saving, for a thread that ends the process meanwhile
// (the window closed, or its connection lost): that thread waits until the
// picture is saved or its saving has failed, so that closing the window never
// loses a picture half written. The worker ending the process itself (a file
// that cannot be written) does not wait for itself.
std::mutex savingGuard;
std::condition_variable savingEnded;
bool saving = false;
std::thread::id savingThread;

void awaitSaving()
{
    std::unique_lock<std::mutex> lock(savingGuard);
    if (std::this_thread::get_id() == savingThread)
        return;
    savingEnded.wait(lock, [] { return !saving; });
}

}  // namespace

SolverWorker::SolverWorker(const PictureRequest* picture, std::uint32_t seed, bool shown)
    : picture(picture), seed(seed), shown(shown)
{
}

SolverWorker::~SolverWorker()
{
    std::free(solutionCopy);
}

void SolverWorker::solutionComplete()
{
    if (picture == nullptr || !picture->withSolution)
        return;
    solutionCopy = allocateZeroed<int>(solutionMoves);
    if (solutionCopy == nullptr)
        fatalExit(FATAL_ALLOCATION);
    std::memcpy(solutionCopy, solutionCells, static_cast<std::size_t>(solutionMoves) * sizeof(int));
}

void SolverWorker::run()
{
    if (shown)
        carveCreatedMaze();
    MazeSolver::run();
    if (shown)
        endShow();
    if (picture != nullptr) {
        {
            const std::lock_guard<std::mutex> lock(savingGuard);
            saving = true;
            savingThread = std::this_thread::get_id();
        }
        beforeProcessEnds = awaitSaving;
        saveMazePicture(*picture, seed, solutionCopy, solutionMoves);
        {
            const std::lock_guard<std::mutex> lock(savingGuard);
            saving = false;
        }
        savingEnded.notify_all();
    }
    std::free(solutionCopy);
    solutionCopy = nullptr;
    freeWallList();
}
