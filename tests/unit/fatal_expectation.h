// Checking that something ends the process the one way the program fails:
// fatalExit's fixed message on standard error and the level as exit status.
#ifndef FATAL_EXPECTATION_H
#define FATAL_EXPECTATION_H

#include <functional>
#include <string>

// The exact bytes fatalExit(level) writes to standard error.
std::string fatalMessage(int level);

// Runs action in a death-test child whose standard output goes to a file,
// expects the child to end with exit status level and exactly
// fatalMessage(level) on standard error, and returns what the child printed
// on standard output before it ended.
std::string expectFatalExit(const std::function<void()>& action, int level);

#endif
