#include "command_line.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "console.h"
#include "fatal_exit.h"
#include "integer_reading.h"
#include "long_option_match.h"
#include "message_quoting.h"
#include "utf8_text.h"

namespace {

// GLUT's own options, which stay in argv for glutInit.
const char* const glutOptionsWithValue[] = {"-display", "-geometry"};
const char* const glutOptionsAlone[] = {"-iconic", "-direct", "-indirect", "-gldebug", "-sync"};

bool isOneOf(const std::string& argument, const char* const* names, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        if (argument == names[i])
            return true;
    }
    return false;
}

[[noreturn]] void refuse(const std::string& program, const std::string& problem)
{
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", program.c_str(), problem.c_str(),
                 program.c_str());
    endProcess(USAGE_ERROR);
}

void printHelp(const std::string& program)
{
    consolePrint(
        "Usage: %s [OPTION]... [GLUT OPTION]...\n"
        "Carve a random perfect maze, solve it, and show it in a window, where the\n"
        "space bar shows and hides the solution. Without --size the width and the\n"
        "height are asked for on the console.\n"
        "\n"
        "  --size WxH         make the maze W cells wide and H high, without asking\n"
        "  --seed N           seed the random source with N (0 to 4294967295)\n"
        "                       instead of the time: the same seed and size make\n"
        "                       the same maze\n"
        "  --print-seed       say the seed on standard error, as \"seed N\"\n"
        "  --save FILE        save the maze once it is solved, as a picture whose\n"
        "                       format the name's ending gives: .png, .svg or .pdf\n"
        "  --solution         draw the solution into the saved picture; a PDF gets\n"
        "                       it on a second page\n"
        "  --cell-size N      pixels a cell in a PNG or SVG picture, 2 to 1000\n"
        "                       (default 10)\n"
        "  --paper NAME       the page of a PDF picture: a4 (the default) or letter\n"
        "  --no-window        save the picture without opening a window; no X\n"
        "                       display is needed, and the run ends once it is saved\n"
        "  --algorithm NAME   carve the maze with NAME: kruskal (the default),\n"
        "                       backtracker, prim, wilson, aldous-broder,\n"
        "                       hunt-and-kill, eller, sidewinder, binary-tree,\n"
        "                       recursive-division or growing-tree\n"
        "  --braid P          open each dead end with probability P, 0 to 1, so\n"
        "                       that the maze has loops; the solver then finds a\n"
        "                       shortest path\n"
        "  --stats            once the maze is solved, describe it on standard error:\n"
        "                       its dead ends, junctions, loops and solution\n"
        "  --watch            show the maze in the window as it is carved, and then\n"
        "                       the solver's search, step by step\n"
        "  --pace N           steps a second to show with --watch, 1 to 1000000000\n"
        "                       or unlimited (default 200)\n"
        "  --help             display this help and exit\n"
        "  --version          output version information and exit\n"
        "\n"
        "GLUT options: -display DISPLAY, -geometry GEOMETRY, -iconic, -direct,\n"
        "-indirect, -gldebug, -sync.\n"
        "\n"
        "Exit status: 0 once the window is closed, or with --no-window once the\n"
        "picture is saved; 12 when the picture cannot be saved; 64 for a command\n"
        "line that cannot be followed; others as the manual page lists them.\n"
        "\n"
        "Example: a 40 x 30 maze and its solution on two A4 pages, without a window:\n"
        "  %s --size 40x30 --save maze.pdf --solution --no-window\n",
        program.c_str(), program.c_str());
}

void printVersion(const std::string& program)
{
    consolePrint("%s (maze) %s\n"
                 "Copyright (c) 2026 The maze project developers\n"
                 "MIT licence: free to use, change and share; no warranty.\n",
                 program.c_str(), MAZE_VERSION);
}

// --help and --version end as GNU's tools end them: with 0 once their text is
// written, and with a line saying why on standard error and a failure status
// when it could not be (a full disk, standard output closed).
[[noreturn]] void endAnswer(const std::string& program)
{
    if (const int error = consoleWriteFailure()) {
        std::fprintf(stderr, "%s: write error: %s\n", program.c_str(), std::strerror(error));
        endProcess(CONSOLE_WRITE_FAILURE);
    }
    endProcess(0);
}

bool allDigits(const std::string& text)
{
    if (text.empty())
        return false;
    for (char character : text) {
        if (!std::isdigit(static_cast<unsigned char>(character)))
            return false;
    }
    return true;
}

// A whole number of digits alone, from 0 to limit; false otherwise.
bool readBounded(const std::string& text, unsigned long long limit, unsigned long long& value)
{
    if (!allDigits(text))
        return false;
    value = 0;
    for (char digit : text) {
        value = value * 10 + static_cast<unsigned long long>(digit - '0');
        if (value > limit)
            return false;
    }
    return true;
}

// One part of a WxH size, as readInteger reads it from the console.
struct TextInput {
    const char* next;
    int get() { return *next != '\0' ? static_cast<unsigned char>(*next++) : EOF; }
    void unget(int) { --next; }
};

// An optional sign and digits.
bool isSignedNumber(const std::string& text)
{
    const std::size_t digitsFrom = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    return allDigits(text.substr(digitsFrom));
}

void readSize(const std::string& program, const std::string& text, CommandLine& options)
{
    const std::size_t cross = text.find_first_of("xX");
    if (cross == std::string::npos || !isSignedNumber(text.substr(0, cross)) ||
        !isSignedNumber(text.substr(cross + 1)))
        refuse(program, "invalid size " + quoted(text) + ": WIDTHxHEIGHT is expected, such as 20x10");
    const std::string width = text.substr(0, cross);
    const std::string height = text.substr(cross + 1);
    TextInput widthInput{width.c_str()};
    TextInput heightInput{height.c_str()};
    const bool widthFits = readInteger(widthInput, options.width);
    const bool heightFits = readInteger(heightInput, options.height);
    options.sizeGiven = true;
    options.sizeFits = widthFits && heightFits;
}

void readPicturePath(const std::string& program, const std::string& path, CommandLine& options)
{
    const std::size_t nameStart = path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/') + 1;
    const std::size_t dot = path.find_last_of('.');
    std::string extension;
    if (dot != std::string::npos && dot > nameStart) {
        for (char character : path.substr(dot + 1))
            extension += static_cast<char>(std::tolower(static_cast<unsigned char>(character)));
    }
    if (extension == "png")
        options.picture.format = PictureFormat::PNG;
    else if (extension == "svg")
        options.picture.format = PictureFormat::SVG;
    else if (extension == "pdf")
        options.picture.format = PictureFormat::PDF;
    else
        refuse(program, "cannot tell the picture format of " + quoted(path) +
                            ": its name must end in .png, .svg or .pdf");
    options.savesPicture = true;
    options.picture.path = path;
}

std::string lowerCase(std::string text)
{
    for (char& character : text)
        character = static_cast<char>(std::tolower(static_cast<unsigned char>(character)));
    return text;
}

enum class OptionName {
    SIZE, SEED, PRINT_SEED, SAVE, SOLUTION, CELL_SIZE, PAPER, NO_WINDOW, HELP, VERSION, ALGORITHM, BRAID, STATS,
    WATCH, PACE
};

struct Option {
    const char* name;
    OptionName id;
    bool takesValue;
};

const Option options[] = {
    {"--size", OptionName::SIZE, true},        {"--seed", OptionName::SEED, true},
    {"--print-seed", OptionName::PRINT_SEED, false}, {"--save", OptionName::SAVE, true},
    {"--solution", OptionName::SOLUTION, false}, {"--cell-size", OptionName::CELL_SIZE, true},
    {"--paper", OptionName::PAPER, true},      {"--no-window", OptionName::NO_WINDOW, false},
    {"--help", OptionName::HELP, false},       {"--version", OptionName::VERSION, false},
    {"--algorithm", OptionName::ALGORITHM, true}, {"--braid", OptionName::BRAID, true},
    {"--stats", OptionName::STATS, false},     {"--watch", OptionName::WATCH, false},
    {"--pace", OptionName::PACE, true},
};

// "a, b or c", for the message refusing a name.
std::string algorithmChoices()
{
    std::string names = carvingAlgorithmNames(", ");
    const std::size_t last = names.rfind(", ");
    return names.replace(last, 2, " or ");
}

std::string lastComponent(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}

// The option a word names, as getopt_long finds it (see long_option_match.h),
// refused in getopt's words when it names none or several.
const Option& optionNamed(const std::string& program, const std::string& argument, const std::string& written)
{
    std::vector<std::string> names;
    for (const Option& option : options)
        names.emplace_back(option.name);
    const LongOptionMatch match = matchLongOption(written, names);
    if (match.found != LongOptionMatch::none)
        return options[match.found];
    if (match.sharing.empty())
        refuse(program, "unrecognized option " + quoted(argument));
    std::string possibilities;
    for (std::size_t index : match.sharing)
        possibilities += std::string(" '") + options[index].name + "'";
    refuse(program, "option " + quoted(argument) + " is ambiguous; possibilities:" + possibilities);
}

}  // namespace

CommandLine readCommandLine(int* argc, char** argv, const char* defaultName)
{
    CommandLine result;
    // Shown in messages and written into the pictures' metadata: printable.
    result.programName = *argc > 0 && argv[0] != nullptr ? printableText(lastComponent(argv[0])) : "";
    if (result.programName.empty())
        result.programName = defaultName;
    const std::string& program = result.programName;
    result.picture.programName = program;

    bool cellSizeGiven = false;
    bool paperGiven = false;
    bool paceGiven = false;
    std::string glutOption;  // the last of GLUT's options given, for the one contradiction it can make
    // Arguments that are no options: none is taken, but as with getopt_long
    // they are refused only once every option has been read.
    std::vector<std::string> operands;
    bool optionsEnded = false;  // by "--": whatever follows is an operand
    int kept = *argc > 0 ? 1 : 0;
    for (int i = 1; i < *argc; ++i) {
        const std::string argument = argv[i];
        if (optionsEnded) {
            operands.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (isOneOf(argument, glutOptionsWithValue, std::size(glutOptionsWithValue))) {
            if (i + 1 == *argc)
                refuse(program, "option '" + argument + "' requires an argument");
            glutOption = argument;
            argv[kept++] = argv[i++];
            argv[kept++] = argv[i];
            continue;
        }
        if (isOneOf(argument, glutOptionsAlone, std::size(glutOptionsAlone))) {
            glutOption = argument;
            argv[kept++] = argv[i];
            continue;
        }
        if (argument.compare(0, 2, "--") != 0) {
            if (argument.size() > 1 && argument[0] == '-')
                refuse(program, "unrecognized option " + quoted(argument));
            operands.push_back(argument);
            continue;
        }

        const std::size_t equals = argument.find('=');
        const Option* option = &optionNamed(program, argument, argument.substr(0, equals));
        std::string value;
        if (option->takesValue) {
            if (equals != std::string::npos)
                value = argument.substr(equals + 1);
            else if (i + 1 < *argc)
                value = argv[++i];
            else
                refuse(program, std::string("option '") + option->name + "' requires an argument");
        } else if (equals != std::string::npos) {
            refuse(program, std::string("option '") + option->name + "' doesn't allow an argument");
        }

        unsigned long long number = 0;
        switch (option->id) {
        case OptionName::SIZE:
            readSize(program, value, result);
            break;
        case OptionName::SEED:
            if (!readBounded(value, 4294967295ull, number))
                refuse(program, "invalid seed " + quoted(value) + ": a whole number from 0 to 4294967295 is expected");
            result.seedGiven = true;
            result.seed = static_cast<std::uint32_t>(number);
            break;
        case OptionName::PRINT_SEED:
            result.printSeed = true;
            break;
        case OptionName::SAVE:
            readPicturePath(program, value, result);
            break;
        case OptionName::SOLUTION:
            result.picture.withSolution = true;
            break;
        case OptionName::CELL_SIZE:
            if (!readBounded(value, largestCellSize, number) || number < smallestCellSize)
                refuse(program, "invalid cell size " + quoted(value) + ": a whole number of pixels from " +
                                    std::to_string(smallestCellSize) + " to " + std::to_string(largestCellSize) +
                                    " is expected");
            cellSizeGiven = true;
            result.picture.cellSize = static_cast<int>(number);
            break;
        case OptionName::PAPER:
            if (lowerCase(value) == "a4")
                result.picture.paper = Paper::A4;
            else if (lowerCase(value) == "letter")
                result.picture.paper = Paper::LETTER;
            else
                refuse(program, "invalid paper " + quoted(value) + ": a4 or letter is expected");
            paperGiven = true;
            break;
        case OptionName::NO_WINDOW:
            result.opensWindow = false;
            break;
        case OptionName::HELP:
            printHelp(program);
            endAnswer(program);
        case OptionName::VERSION:
            printVersion(program);
            endAnswer(program);
        case OptionName::ALGORITHM:
            result.algorithm = findCarvingAlgorithm(value);
            if (result.algorithm == nullptr)
                refuse(program, "invalid algorithm " + quoted(value) + ": " + algorithmChoices() + " is expected");
            result.picture.algorithm = result.algorithm == &defaultCarving() ? "" : value;
            break;
        case OptionName::BRAID:
            if (!readBraidProbability(value, result.braid))
                refuse(program, "invalid braid " + quoted(value) + ": a decimal from 0 to 1 is expected, such as 0.5");
            result.picture.braid = result.braid.never() ? "" : value;
            break;
        case OptionName::STATS:
            result.printsStatistics = true;
            break;
        case OptionName::WATCH:
            result.watches = true;
            break;
        case OptionName::PACE:
            if (value == "unlimited")
                number = unlimitedShowPace;
            else if (!readBounded(value, fastestShowPace, number) || number == 0)
                refuse(program, "invalid pace " + quoted(value) + ": a whole number of steps a second from 1 to " +
                                    std::to_string(fastestShowPace) + ", or unlimited, is expected");
            paceGiven = true;
            result.pace = static_cast<long long>(number);
            break;
        }
    }
    if (!operands.empty())
        refuse(program, "unexpected argument " + quoted(operands.front()));
    result.picture.saysWhereSaved = !result.opensWindow;
    if (*argc > 0) {
        argv[kept] = nullptr;
        *argc = kept;
    }

    // Options that make sense only with others.
    if (!result.opensWindow && !result.savesPicture)
        refuse(program, "--no-window needs --save: without a window the maze can only be saved");
    if (result.picture.withSolution && !result.savesPicture)
        refuse(program, "--solution needs --save: it draws the solution into the saved picture");
    const PictureFormat format = result.picture.format;
    if (cellSizeGiven && (!result.savesPicture || format == PictureFormat::PDF))
        refuse(program, "--cell-size applies to a PNG or SVG picture saved with --save");
    if (paperGiven && (!result.savesPicture || format != PictureFormat::PDF))
        refuse(program, "--paper applies to a PDF picture saved with --save");
    if (result.watches && !result.opensWindow)
        refuse(program, "--watch is for the window, which --no-window leaves out");
    if (paceGiven && !result.watches)
        refuse(program, "--pace applies to a run shown with --watch");
    if (!result.opensWindow && !glutOption.empty())
        refuse(program, "option '" + glutOption + "' is for the window, which --no-window leaves out");
    return result;
}

std::uint32_t chooseSeed(const CommandLine& options)
{
    const std::uint32_t seed =
        options.seedGiven ? options.seed : static_cast<std::uint32_t>(std::time(nullptr));
    if (options.printSeed) {
        std::fprintf(stderr, "seed %lu\n", static_cast<unsigned long>(seed));
        std::fflush(stderr);
    }
    return seed;
}

void takeMazeSize(const CommandLine& options)
{
    if (options.sizeGiven)
        takeGivenDimensions(options.width, options.height, options.sizeFits);
    else
        promptDimensions();
}
