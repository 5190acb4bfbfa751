#include "step_watch.h"

// See step_watch.h for who writes it and who reads it.
const StepWatch* stepWatch = nullptr;
