// A recursion that goes one call deeper per maze cell outgrows a thread's
// default stack well before the sizes the benchmark and the tests use, and
// sanitizer builds make every frame larger still.
#ifndef DEEP_STACK_H
#define DEEP_STACK_H

#include <cstddef>
#include <functional>

// Runs task to completion on a new thread with a stack of stackBytes, and
// returns once it has finished.
void runOnDeepStack(std::size_t stackBytes, const std::function<void()>& task);

#endif
