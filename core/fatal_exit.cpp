#include "fatal_exit.h"

#include <cstdio>
#include <cstdlib>

void fatalExit(int level)
{
    std::fprintf(stderr, "A fatal error has occured in the program and it is \t\t\t\t\texiting with level %d\n", level);
    std::fflush(stdout);
    std::exit(level);
}
