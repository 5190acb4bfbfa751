#include "solving_choices.h"

#include "console.h"
#include "maze_statistics.h"
#include "solution.h"

bool mazeMayHaveLoops = false;
bool windowShowsSolution = true;
bool statisticsWanted = false;

void tellSolvingEnded()
{
    if (statisticsWanted)
        printMazeStatistics(measureMaze(), solutionMoves);
    if (windowShowsSolution)
        consolePrint("\nPress spacebar to see my solution to the maze\n");
}
