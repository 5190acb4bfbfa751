#include "chosen_carving.h"

#include "carving.h"
#include "maze_generation.h"

namespace {

// Written by chooseCarving before carving; read by carveChosenMaze, on the main thread.
const CarvingAlgorithm* chosenAlgorithm = nullptr;
BraidProbability chosenBraid;

void carveChosenMaze()
{
    chosenAlgorithm->carve();
    braidMaze(chosenBraid);
}

}  // namespace

void chooseCarving(const CarvingAlgorithm& algorithm, const BraidProbability& probability)
{
    chosenAlgorithm = &algorithm;
    chosenBraid = probability;
    mazeCarving = algorithm.carve == carveMaze && probability.never() ? carveMaze : carveChosenMaze;
}
