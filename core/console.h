// The console dialogue: progress text and the prompts for the maze size.
#ifndef CONSOLE_H
#define CONSOLE_H

// printf to standard output, flushed at once so that a prompt or progress
// line is visible even when standard output is a pipe. Once a write finds the
// reader gone (a pipe closed by its reader, EPIPE), the text is dropped and the
// run goes on without a console.
void consolePrint(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The errno value of the first console write that failed, EBADF when standard
// output was closed when the program started, or 0 when all was written.
int consoleWriteFailure();

// Greets the user, asks for the width and then the height, and refuses a size
// no maze can be built for (fatal level 9).
void promptDimensions();

// Greets the user and takes a size given on the command line instead of
// asking for it, refusing it as the prompts would; fits is false when either
// number lies beyond 32 bits.
void takeGivenDimensions(int width, int height, bool fits);

#endif
