// What the solver leaves for the display.
#ifndef SOLUTION_H
#define SOLUTION_H

// Moves of the shortest arrival at the goal so far; -1 until the goal is reached.
// Written by the solver, read by the display once it has seen the maze solved.
extern int solutionMoves;

// The cells of that arrival, from the one entered just before the goal back
// to the start: solutionMoves entries. Replaced by the solver on every
// improvement, freed by the display once it has compiled the solution line.
extern int* solutionCells;

// 1 once the solver has finished. Written through markSolved, read through
// isSolved, so that the threaded program can guard it with its lock.
extern unsigned char solved;

// The most moves the solution of a perfect width x height maze is counted
// with before it is carved: every cell where there are few, else 64 times the
// sides, which the paths of carved mazes stay far below (1.6 times the sides
// at 8000 x 8000).
long long solutionMovesBound(int width, int height);

// Sets solved; the threaded program does it holding solverLock.
void markSolved();

// Reads solved; the threaded program does it holding solverLock.
bool isSolved();

#endif
