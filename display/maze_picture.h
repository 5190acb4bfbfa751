// The maze picture: borders and standing walls compiled once into a display list.
#ifndef MAZE_PICTURE_H
#define MAZE_PICTURE_H

// Fixed display list names.
enum DisplayList {
    MAZE_LIST = 1,      // the maze, replayed on every redraw
    SOLUTION_LIST = 2,  // the solution line, compiled on the first redraw after solving
    EMPTY_LIST = 3,     // holds nothing; see UNSHARED_MAZE_LIST
};

// Two ways of compiling the same picture into MAZE_LIST.
enum MazeListKind {
    // The list as it is: what a driver that keeps lists in video memory replays fastest.
    PLAIN_MAZE_LIST,
    // Opened by a primitive that calls EMPTY_LIST before its first vertex.
    // Mesa then stores the list for replay through immediate mode and skips
    // looking every vertex up in a hash table of the ones already stored,
    // which on its software renderers takes most of a large maze's first
    // frame. Redraws cost the same there; on a hardware driver this kind of
    // list would resend every vertex on every redraw.
    UNSHARED_MAZE_LIST,
};

// The kind that suits the current GL context's renderer: unshared on Mesa's
// software rasterisers (llvmpipe, softpipe), plain anywhere else.
MazeListKind mazeListKindForRenderer();

// Sets a white background and a projection with one cell of margin around the
// maze (row 0 at the top), and compiles the borders, with the entrance above
// the start and the exit beside the goal, and every standing wall of walls
// into MAZE_LIST, of the kind that suits the renderer. Draws nothing.
void compileMazeList();

// The same, of the kind given: both kinds draw the same pixels.
void compileMazeList(MazeListKind kind);

#endif
