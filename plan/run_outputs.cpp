#include "run_outputs.h"

#include "screen_ahead.h"

RunOutputs plannedRunOutputs(const CommandLine& options, int argc, char** argv)
{
    RunOutputs outputs;
    outputs.window = options.opensWindow;
    outputs.picture = options.savesPicture ? &options.picture : nullptr;
    if (outputs.window)
        outputs.screen = readScreenAhead(argc, argv);
    return outputs;
}
