// The name a picture file has in its directory before it takes the name asked
// for, removed by whatever signal ends the run meanwhile, so that only
// SIGKILL (or a power cut) in that time can leave it behind.
#ifndef TEMPORARY_NAME_H
#define TEMPORARY_NAME_H

#include <string>

// A hidden name beside name that nobody can guess in advance: name's start and
// 96 random bits (".maze.png.k3Xq..."). Fails only when the system gives no
// random bytes, with the errno value in error.
std::string unguessableNameBeside(const std::string& name, int& error);

// Catches, from the first call on, every signal whose default ends the
// process and that the user has not ignored; its handler removes the name
// remembered, if any, then lets the signal end the run as it would have.
void watchEndingSignals();

// The name in directory (an open descriptor) that the handler removes; set
// before the name is made, so that a signal at any moment finds it, and
// forgotten once it has gone, renamed or removed. One name at a time.
void rememberTemporaryName(int directory, const std::string& name);
void forgetTemporaryName();

#endif
