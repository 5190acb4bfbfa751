// Keeping descriptors 0, 1 and 2 for the standard streams.
#ifndef STANDARD_DESCRIPTORS_H
#define STANDARD_DESCRIPTORS_H

// Opens /dev/null on each of standard input, output and error that was closed
// when the program started. Otherwise the next file or socket opened, such as
// the X connection, would take the free number, and console output meant for
// the closed stream would be written into it. Called first thing in main.
void openClosedStandardDescriptors();

// Whether descriptor (0, 1 or 2) was closed when the program started, and
// /dev/null stands in for it.
bool wasClosedAtStart(int descriptor);

// From here on a reader gone from a pipe the run writes to makes the write
// fail with EPIPE instead of ending the run with SIGPIPE: the console then
// drops its text and the picture is still saved, and a lost X connection is
// reported by Xlib as lost, with its status. Called once the command line is
// read, so that --help and --version into a closed pipe end quietly by the
// signal, as GNU's tools do.
void keepRunningWhenReadersGo();

#endif
