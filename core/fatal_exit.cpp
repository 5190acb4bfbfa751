#include "fatal_exit.h"

#include <cstdio>
#include <cstdlib>

void fatalExit(int level)
{
    std::fprintf(stderr, "A fatal error has occured in the program and it is \t\t\t\t\texiting with level %d\n", level);
    endProcess(level);
}

// Written by the threaded program's worker around saving; read by whichever
// thread ends the process.
std::atomic<void (*)()> beforeProcessEnds{nullptr};

void endProcess(int status)
{
    if (void (*awaitWork)() = beforeProcessEnds.load())
        awaitWork();
    // The solver thread fails while the GLUT thread is still drawing, and the
    // GLUT thread fails while the solver runs. std::exit would tear down GL and
    // library state under the other thread's feet and crash the process instead
    // of ending it with the status, so everything the console is owed is
    // flushed and the process ends at once.
    std::fflush(nullptr);
    std::_Exit(status);
}
