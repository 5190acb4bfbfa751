// The programs' options, read before anything else happens and handed to the
// run as plain values.
#ifndef COMMAND_LINE_H
#define COMMAND_LINE_H

#include <cstdint>
#include <string>

#include "braiding.h"
#include "carving_algorithms.h"
#include "picture_request.h"
#include "show_pace.h"

struct CommandLine {
    std::string programName;  // the last component of argv[0], printable, for messages and metadata

    bool seedGiven = false;  // --seed: the seed instead of the calendar time
    std::uint32_t seed = 0;
    bool printSeed = false;  // --print-seed: the seed used, on standard error

    bool sizeGiven = false;  // --size WxH: no prompts
    int width = 0;
    int height = 0;
    bool sizeFits = true;  // false when either number lies beyond 32 bits

    bool savesPicture = false;  // --save FILE and the options that shape it
    PictureRequest picture;

    bool opensWindow = true;  // false with --no-window

    const CarvingAlgorithm* algorithm = &defaultCarving();  // --algorithm NAME
    BraidProbability braid;                                  // --braid P: never unless given
    bool printsStatistics = false;                           // --stats

    bool watches = false;              // --watch: the carving and the solving shown as they happen
    long long pace = defaultShowPace;  // --pace N: steps a second of it (see show_pace.h); its default unless given
};

// Reads the options out of argv as getopt_long would (see long_option_match.h;
// "--" ends them), leaving argv[0] and GLUT's own options (with their values)
// in place and argc counting them, for glutInit. --help and --version print
// their text and end the run with 0, or with CONSOLE_WRITE_FAILURE when it
// cannot be written; a command line that cannot be followed ends it with
// USAGE_ERROR after a line naming the problem and a hint to --help, on
// standard error. defaultName names the program when argv[0] does not.
CommandLine readCommandLine(int* argc, char** argv, const char* defaultName);

// The seed of this run: the one given, or the calendar time in seconds; said
// on standard error with --print-seed.
std::uint32_t chooseSeed(const CommandLine& options);

// Greets the user, then asks for the size or takes the one given, refusing
// what the dialogue refuses, with the same status.
void takeMazeSize(const CommandLine& options);

#endif
