// The carving a run has chosen: the algorithm, and the braiding after it.
#ifndef CHOSEN_CARVING_H
#define CHOSEN_CARVING_H

#include "braiding.h"
#include "carving_algorithms.h"

// Makes carveNewMaze carve with algorithm and then braid with probability.
// Kruskal's without braiding leaves it carving exactly as it always has.
// Called once by the run's plan, before carving.
void chooseCarving(const CarvingAlgorithm& algorithm, const BraidProbability& probability);

#endif
