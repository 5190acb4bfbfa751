// The steps of making and solving a maze, told to whoever watches them (the
// window's show, with --watch) as they are taken. Nobody watches unless the
// run was asked to show them: carving and solving then pay one test of a
// pointer a step, and nothing else.
#ifndef STEP_WATCH_H
#define STEP_WATCH_H

#include <cstdint>

struct StepWatch {
    // A wall's bit changed in this word of the wall list's planes, which
    // already holds its new value: a passage opened, or a wall restored.
    void (*wallChanged)(const std::uint64_t* word);
    // Every interior wall removed at once: recursive division's open field,
    // one step however many walls it takes away.
    void (*fieldOpened)();
    // The solver entered cell from its neighbour from (-1 for the start cell).
    void (*cellEntered)(long long cell, long long from);
    // The solver backed out of cell, into the cell it entered it from.
    void (*cellLeft)(long long cell);
    // The breadth-first search takes up cell: the path to it is the one it follows now.
    void (*cellExpanded)(long long cell);
};

// Who watches: nullptr unless the run shows its steps. Written before the
// maze's wall list is carved and again once it is solved, by the thread that
// carves and solves (the show sets it before that thread exists); read by the
// carvings and the solvers, on that thread.
extern const StepWatch* stepWatch;

#endif
