// The one way the program fails: a fixed message on standard error and an
// exit status that names the failing site.
#ifndef FATAL_EXIT_H
#define FATAL_EXIT_H

#include <atomic>

enum FatalLevel {
    FATAL_ALLOCATION = 1,            // maze data could not be allocated (or would not fit in memory)
    FATAL_SHUFFLE = 2,               // the wall shuffle could not get its scratch space
    FATAL_ADD_CELL = 3,              // the cell partition refused a cell
    FATAL_SCREEN_SIZE = 4,           // the screen reports a zero width or height
    FATAL_PARTITION_ALLOCATION = 5,  // the cell partition could not allocate its labels
    FATAL_SAME_SET_RANGE = 6,        // a same-set query named a cell the partition does not hold
    FATAL_MERGE_RANGE = 7,           // a merge named a cell the partition does not hold
    FATAL_GOAL_UNREACHED = 8,        // the solver finished without reaching the goal
    FATAL_SIZE_REFUSED = 9,          // the typed size describes no maze this program can build
    FATAL_THREAD_START = 11,         // a thread the run needs could not be started
};

// Not a level of fatalExit: the status when the window system fails (no
// display, or the connection to it lost), after GLUT's or Xlib's own message.
constexpr int WINDOW_SYSTEM_FAILURE = 10;

// Not a level of fatalExit either: the status when the picture asked for
// cannot be saved, after a message naming the file and the reason.
constexpr int SAVE_FAILURE = 12;

// The status of a command line that cannot be followed, after a message saying
// why; the value BSD's sysexits.h gives EX_USAGE, as console programs use.
constexpr int USAGE_ERROR = 64;

// The status of --help or --version whose text could not be written, after a
// "write error" line; the value sysexits.h gives EX_IOERR, beside EX_USAGE.
constexpr int CONSOLE_WRITE_FAILURE = 74;

// Prints the fatal message with the level and ends the process with that status.
[[noreturn]] void fatalExit(int level);

// Flushes every stream and ends the process with status at once, without
// running exit handlers: another thread may still be solving or drawing.
[[noreturn]] void endProcess(int status);

// Run by endProcess first, from whichever thread ends the process: waits for
// the one piece of work that must not be cut short, maze_threaded's worker
// saving the picture while the window may be closed. Set by that work.
extern std::atomic<void (*)()> beforeProcessEnds;

#endif
