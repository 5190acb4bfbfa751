// Keeping descriptors 0, 1 and 2 for the standard streams.
#ifndef STANDARD_DESCRIPTORS_H
#define STANDARD_DESCRIPTORS_H

// Opens /dev/null on each of standard input, output and error that was closed
// when the program started. Otherwise the next file or socket opened, such as
// the X connection, would take the free number, and console output meant for
// the closed stream would be written into it. Called first thing in main.
void openClosedStandardDescriptors();

#endif
