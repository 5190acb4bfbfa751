// The console dialogue: progress text and the prompts for the maze size.
#ifndef CONSOLE_H
#define CONSOLE_H

// printf to standard output, flushed at once so that a prompt or progress
// line is visible even when standard output is a pipe.
void consolePrint(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Greets the user, asks for the width and then the height, and refuses a size
// no maze can be built for (fatal level 9).
void promptDimensions();

// Greets the user and takes a size given on the command line instead of
// asking for it, refusing it as the prompts would; fits is false when either
// number lies beyond 32 bits.
void takeGivenDimensions(int width, int height, bool fits);

#endif
