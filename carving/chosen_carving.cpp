#include "chosen_carving.h"

#include "carving.h"
#include "maze_generation.h"
#include "wall_list.h"

namespace {

// Written by chooseCarving before carving; read by carveChosenMaze, on the main thread.
const CarvingAlgorithm* chosenAlgorithm = nullptr;
BraidProbability chosenBraid;

void carveChosenMaze()
{
    chosenAlgorithm->carve();
    // Every carving of the table makes a perfect maze, which the solver then
    // walks along its one path; braiding, which opens walls, takes that back.
    declarePerfectMaze();
    braidMaze(chosenBraid);
}

}  // namespace

void chooseCarving(const CarvingAlgorithm& algorithm, const BraidProbability& probability)
{
    chosenAlgorithm = &algorithm;
    chosenBraid = probability;
    mazeCarving = algorithm.carve == carveMaze && probability.never() ? carveMaze : carveChosenMaze;
}
