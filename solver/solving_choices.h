// How the run has its maze solved and the end of solving told.
#ifndef SOLVING_CHOICES_H
#define SOLVING_CHOICES_H

// Chosen once by the run's plan before carving; read by the solver, on
// whichever thread solves.
// Whether the maze may have loops (it was braided): the solver then searches
// breadth-first for a shortest path, which stays linear where the depth-first
// search could take exponential time.
extern bool mazeMayHaveLoops;
// Whether a window will show the solution: the solver's last line then invites
// the space bar. Without one, the saved picture's line ends the run instead.
extern bool windowShowsSolution;
// Whether the maze's statistics are wanted on standard error once it is solved.
extern bool statisticsWanted;

// What the solver says once the maze is solved and marked so: the statistics
// line if wanted, and the invitation to the space bar if a window will show
// the solution.
void tellSolvingEnded();

#endif
