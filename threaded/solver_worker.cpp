#include "solver_worker.h"

#include <cstdlib>
#include <cstring>

#include "fatal_exit.h"
#include "picture_file.h"
#include "solution.h"
#include "wall_list.h"
#include "zeroed_array.h"

SolverWorker::SolverWorker(const PictureRequest* picture, std::uint32_t seed) : picture(picture), seed(seed) {}

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
    MazeSolver::run();
    if (picture != nullptr)
        saveMazePicture(*picture, seed, solutionCopy, solutionMoves);
    std::free(solutionCopy);
    solutionCopy = nullptr;
    freeWallList();
}
