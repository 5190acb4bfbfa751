// What a run makes besides its console text, as the checks before carving
// weigh it.
#ifndef RUN_OUTPUTS_H
#define RUN_OUTPUTS_H

#include "command_line.h"
#include "picture_request.h"
#include "window.h"

struct RunOutputs {
    bool window = true;                       // the window, and the GL driver behind it
    const PictureRequest* picture = nullptr;  // the picture saved, if one is
    ScreenSize screen = {0, 0};               // the screen the window opens on; {0, 0} when unknown
    const CarvingAlgorithm* carving = nullptr;  // the carving chosen; nullptr for Kruskal's, the default
    bool braided = false;                       // dead ends opened: loops, and the breadth-first solver
    bool shown = false;                         // --watch: carved and solved in the open window
};

// The outputs the options ask for. When a window will open, the screen it
// will open on is read now, quietly (see readScreenAhead). The choices that
// shape the maze and its solving (the carving, braiding, the solver and what
// it says at the end) are made here too, once, for the rest of the run.
RunOutputs plannedRunOutputs(const CommandLine& options, int argc, char** argv);

#endif
