#include "run_outputs.h"

#include "chosen_carving.h"
#include "screen_ahead.h"
#include "solving_choices.h"

RunOutputs plannedRunOutputs(const CommandLine& options, int argc, char** argv)
{
    RunOutputs outputs;
    outputs.window = options.opensWindow;
    outputs.picture = options.savesPicture ? &options.picture : nullptr;
    if (outputs.window)
        outputs.screen = readScreenAhead(argc, argv);

    chooseCarving(*options.algorithm, options.braid);
    mazeMayHaveLoops = !options.braid.never();
    windowShowsSolution = options.opensWindow;
    statisticsWanted = options.printsStatistics;
    outputs.carving = options.algorithm == &defaultCarving() ? nullptr : options.algorithm;
    outputs.braided = mazeMayHaveLoops;
    outputs.shown = options.watches;
    return outputs;
}
