// Pointing this process's standard streams at files, so that code which reads
// the keyboard or prints to the console can be driven and checked.
#ifndef STANDARD_STREAMS_H
#define STANDARD_STREAMS_H

#include <string>

// From now on standard input reads the file at path, from its start.
void readStandardInputFrom(const std::string& path);

// From now on standard output (the descriptor and the C stream) goes to the
// file at path. Meant for death-test children, which end without undoing it.
void sendStandardOutputTo(const std::string& path);

#endif
