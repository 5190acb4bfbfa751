// Whole runs of the built programs that end before a window would open:
// every byte they print on both streams and their exit status. Both programs
// share the dialogue and the generation, so both must behave the same.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <cstring>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "address_space_limit.h"
#include "braiding.h"
#include "carving_algorithms.h"
#include "console_transcript.h"
#include "fatal_exit.h"
#include "fatal_expectation.h"
#include "machine.h"
#include "maze.h"
#include "maze_test_fixture.h"
#include "memory_budget.h"
#include "random_source.h"
#include "running_program.h"
#include "temporary_file.h"
#include "wall_list.h"

namespace {

struct Program {
    const char* name;
    const char* path;
};

// Names the program in failure reports instead of dumping its bytes.
void PrintTo(const Program& program, std::ostream* stream)
{
    *stream << program.name;
}

std::string programName(const ::testing::TestParamInfo<Program>& info)
{
    return info.param.name;
}

class ProgramConsoleTest : public ::testing::TestWithParam<Program> {
protected:
    static void expectRunEndsWith(const std::string& typed, const std::string& printed, int level)
    {
        SCOPED_TRACE("typed: \"" + typed + "\"");
        const ProgramRun run = runProgram(GetParam().path, typed);
        EXPECT_EQ(run.standardOutput, printed);
        EXPECT_EQ(run.standardError, fatalMessage(level));
        EXPECT_TRUE(run.exited);
        EXPECT_EQ(run.exitStatus, level);
    }
};

const std::string generating = "Generating maze...\n";

// What a run of the given carving, size, seed and braiding must report, from
// the same maze carved in this process and measured by a breadth-first walk
// and a count of the wall records of its own.
struct ExpectedMaze {
    int shortest;            // moves
    std::string statistics;  // the --stats line
};

struct ExpectedMazeBuilder : MazeTest {
    void TestBody() override {}
    ExpectedMaze build(const CarvingAlgorithm& algorithm, int width, int height, unsigned seed, const char* braid)
    {
        buildClosedMaze(width, height);
        seedRandomSource(seed);
        algorithm.carve();
        BraidProbability probability;
        readBraidProbability(braid, probability);
        braidMaze(probability);
        std::vector<int> ways(static_cast<std::size_t>(width * height), 0);
        for (int i = 0; i < wallCount(); ++i) {
            const Wall wall = wallRecord(i);
            ways[static_cast<std::size_t>(wall.cell1)] += !wall.present;
            ways[static_cast<std::size_t>(wall.cell2)] += !wall.present;
        }
        const long long deadEnds = std::count(ways.begin(), ways.end(), 1);
        const long long junctions = std::count_if(ways.begin(), ways.end(), [](int w) { return w >= 3; });
        const int shortest = movesFromStart().back();
        const long long tenths = (deadEnds * 1000 + width * height / 2) / (width * height);
        char line[200];
        std::snprintf(line, sizeof line, "maze: %d x %d cells, %lld dead ends (%lld.%lld %%), %lld junctions, "
                      "%d loops, solution %d cells\n", width, height, deadEnds, tenths / 10, tenths % 10, junctions,
                      removedWallCount() - (width * height - 1), shortest + 1);
        freeWallList();
        return ExpectedMaze{shortest, line};
    }
};

ExpectedMaze expectedMaze(const CarvingAlgorithm& algorithm, int width, int height, unsigned seed, const char* braid)
{
    return ExpectedMazeBuilder().build(algorithm, width, height, seed, braid);
}
// What a run prints without prompts, when the size is given on the command line.
const std::string greeting =
    "< Maze Generator >\n\n"
    "Reasonalbe values for height and width are < 150, but feel free to go higher\n\n";
// Everything a 2 x 1 run prints from "Generating maze..." to the solver's last
// words, and the line that invites the space bar when a window will show the maze.
const std::string solved2x1 = generating +
                              "Done generating maze...\n"
                              "Solving the maze...I bet I can do this faster than you.\n"
                              "I solved the maze in 1 moves...perhaps there is a faster way\n"
                              "I'm done trying to solve the maze and did it in 1 moves\n";
const std::string pressSpace = "\nPress spacebar to see my solution to the maze\n";

std::string nameOf(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}

TEST_P(ProgramConsoleTest, RefusedSizesEndWithLevel9RightAfterTheDialogue)
{
    for (const char* typed : {"0 0\n", "1 2\n", "1 5000\n", "-1 -1\n", "-4 -9\n", "32769 32769\n", "46341 46341\n"})
        expectRunEndsWith(typed, dialogueTranscript, FATAL_SIZE_REFUSED);
}

TEST_P(ProgramConsoleTest, InputThatIsNoSizeEndsWithLevel9)
{
    for (const char* typed : {"", "\n", "   ", "maze\n", "abc 5\n", "twenty ten"})
        expectRunEndsWith(typed, dialogueTranscript, FATAL_SIZE_REFUSED);
}

TEST_P(ProgramConsoleTest, NumbersBeyondThirtyTwoBitsEndWithLevel9)
{
    for (const char* typed : {"2147483648 2\n", "2 2147483648\n", "-2147483649 2\n", "4294967298 3\n",
                              "123456789012345678901234567890 1\n"})
        expectRunEndsWith(typed, dialogueTranscript, FATAL_SIZE_REFUSED);
}

TEST_P(ProgramConsoleTest, NegativeWallCountEndsWithLevel1WhenTheListIsCreated)
{
    for (const char* typed : {"0 5\n", "5 0\n", "-3 2\n"})
        expectRunEndsWith(typed, dialogueTranscript + generating, FATAL_ALLOCATION);
}

TEST_P(ProgramConsoleTest, SizeBeyondThisMachinesMemoryEndsWithLevel1)
{
    if (estimatedRunFootprint(30000, 30000, SOLVE_THEN_SHOW).resident <= memoryRoom().resident)
        GTEST_SKIP() << "this machine could hold a 30000 x 30000 maze";
    expectRunEndsWith("30000 30000\n", dialogueTranscript + generating, FATAL_ALLOCATION);
    expectRunEndsWith("2147483647 1\n", dialogueTranscript + generating, FATAL_ALLOCATION);
    expectRunEndsWith("32769 32768\n", dialogueTranscript + generating, FATAL_ALLOCATION);
}

// Under the limits a user sets, the programs refuse what would not fit, where
// the kernel would otherwise kill the run or the GL driver crash or hang on a
// failed allocation or thread halfway through it, and go on to the window with
// what fits (here GLUT then finds no display). Every thread maps a stack of
// ulimit -s, counted as data too; LP_NUM_THREADS sets llvmpipe's threads.
TEST_P(ProgramConsoleTest, SizeBeyondTheProcessLimitsEndsWithLevel1)
{
    if (!addressSpaceLimitUsable)
        GTEST_SKIP() << "AddressSanitizer needs more address space than any cap leaves";
    struct Limited {
        int resource;
        std::size_t mebibytes;
        std::size_t stackMebibytes;
        const char* rasterizerThreads;  // LP_NUM_THREADS, set so that no row depends on the processors here
        const char* typed;
        bool refused;
    } const runs[] = {
        {RLIMIT_AS, 700, 8, "2", "8000 8000\n", true},    {RLIMIT_AS, 900, 8, "2", "8000 8000\n", true},
        {RLIMIT_AS, 1200, 8, "2", "12000 12000\n", true}, {RLIMIT_AS, 3000, 8, "2", "22000 22000\n", true},
        {RLIMIT_AS, 1200, 8, "2", "2 1\n", false},        {RLIMIT_DATA, 586, 8, "2", "200 200\n", false},
        {RLIMIT_DATA, 586, 8, "2", "12000 12000\n", true}, {RLIMIT_AS, 830, 64, "2", "2 1\n", true},
        {RLIMIT_AS, 830, 1, "2", "2 1\n", false},       {RLIMIT_AS, 800, 8, "16", "30 20\n", true},
    };
    for (const Limited& run : runs) {
        SCOPED_TRACE(::testing::Message() << (run.resource == RLIMIT_AS ? "ulimit -v " : "ulimit -d ")
                                          << run.mebibytes * 1024 << " -s " << run.stackMebibytes * 1024
                                          << " LP_NUM_THREADS=" << run.rasterizerThreads);
        const LimitForChildren limit(run.resource, run.mebibytes << 20);
        const LimitForChildren stack(RLIMIT_STACK, run.stackMebibytes << 20);
        setenv("LP_NUM_THREADS", run.rasterizerThreads, 1);
        if (run.refused)
            expectRunEndsWith(run.typed, dialogueTranscript + generating, FATAL_ALLOCATION);
        else
            EXPECT_EQ(runProgram(GetParam().path, run.typed).exitStatus, WINDOW_SYSTEM_FAILURE);
        unsetenv("LP_NUM_THREADS");
    }
}

// Each prompt must reach a pipe before the program waits for the number;
// were output buffered until exit, the prompts would never arrive here.
TEST_P(ProgramConsoleTest, EachPromptIsVisibleBeforeTheProgramWaits)
{
    const std::chrono::seconds patience(10);
    RunningProgram program(GetParam().path);
    ASSERT_TRUE(program.awaitOutputEndingWith(
        "< Maze Generator >\n\n"
        "Reasonalbe values for height and width are < 150, but feel free to go higher\n\n"
        "Please enter the width of the maze: ",
        patience));
    program.type("0\n");
    ASSERT_TRUE(program.awaitOutputEndingWith("Please enter the height of the maze: ", patience));
    program.type("5\n");
    ASSERT_TRUE(program.awaitOutputEndingWith(generating, patience));
    const ProgramRun run = program.finish(patience);
    EXPECT_EQ(run.standardOutput, dialogueTranscript + generating);
    EXPECT_EQ(run.standardError, fatalMessage(FATAL_ALLOCATION));
    EXPECT_EQ(run.exitStatus, FATAL_ALLOCATION);
}

// Without any display GLUT gives up with its own message once the window is
// due, and the run ends with the window system's status, not with 1, which
// means memory; by then maze_serial has solved the maze and said so, while
// maze_threaded opens its window before solving.
TEST(ProgramWithoutDisplay, GlutReportsItsOwnErrorAfterTheTranscriptAndEndsWithStatus10)
{
    const std::string generated = dialogueTranscript + generating + "Done generating maze...\n";
    const std::string solved = "Solving the maze...I bet I can do this faster than you.\n"
                               "I solved the maze in 1 moves...perhaps there is a faster way\n"
                               "I'm done trying to solve the maze and did it in 1 moves\n"
                               "\nPress spacebar to see my solution to the maze\n";
    const std::pair<const char*, std::string> runs[] = {{MAZE_SERIAL_PROGRAM, generated + solved},
                                                        {MAZE_THREADED_PROGRAM, generated}};
    for (const auto& [path, printed] : runs) {
        SCOPED_TRACE(path);
        const ProgramRun run = runProgram(path, "2 1\n");
        EXPECT_EQ(run.standardOutput, printed);
        EXPECT_EQ(run.standardError, "freeglut (" + std::string(path) + "): failed to open display ''\n");
        EXPECT_TRUE(run.exited);
        EXPECT_EQ(run.exitStatus, WINDOW_SYSTEM_FAILURE);
    }
}

TEST_P(ProgramConsoleTest, HelpAndVersionAnswerOnStandardOutputBeforeAnyDialogue)
{
    const std::string name = nameOf(GetParam().path);
    const ProgramRun help = runProgram(GetParam().path, "20 10\n", {"--seed", "5", "--help"});
    EXPECT_EQ(help.standardOutput.rfind("Usage: " + name + " [OPTION]... [GLUT OPTION]...\n", 0), 0u)
        << help.standardOutput;
    for (const char* option : {"--size WxH", "--seed N", "--print-seed", "--save FILE", "--solution", "--cell-size N",
                               "--paper NAME", "--no-window", "--help", "--version", "-display DISPLAY",
                               "--algorithm NAME", "--braid P", "--stats", "--watch", "--pace N", "kruskal (the default)", "backtracker",
                               "prim", "wilson", "aldous-broder", "hunt-and-kill", "eller", "sidewinder",
                               "binary-tree", "recursive-division", "growing-tree"})
        EXPECT_NE(help.standardOutput.find(option), std::string::npos) << option;
    EXPECT_EQ(help.standardOutput.find("Maze Generator"), std::string::npos);
    EXPECT_EQ(help.standardError, "");
    EXPECT_EQ(help.exitStatus, 0);

    const ProgramRun version = runProgram(GetParam().path, "", {"--version"});
    EXPECT_EQ(version.standardOutput.substr(0, version.standardOutput.find('\n') + 1),
              name + " (maze) " MAZE_VERSION "\n");
    EXPECT_EQ(version.standardError, "");
    EXPECT_EQ(version.exitStatus, 0);

    // Text that cannot be written is a failure, said as GNU's tools say it.
    const std::pair<const char*, const char*> unwritable[] = {{">/dev/full", "No space left on device"},
                                                              {">&-", "Bad file descriptor"}};
    for (const auto& [redirection, reason] : unwritable) {
        for (const char* option : {"--help", "--version"}) {
            SCOPED_TRACE(std::string(option) + " " + redirection);
            const ProgramRun run = runProgram("/bin/sh", "",
                                              {"-c", std::string("exec \"$0\" ") + option + " " + redirection,
                                               GetParam().path});
            EXPECT_EQ(run.standardError, name + ": write error: " + reason + "\n");
            EXPECT_EQ(run.exitStatus, CONSOLE_WRITE_FAILURE);
        }
    }
}

// Nothing on standard output, one line naming the problem and the hint on
// standard error, status 64, whatever would have come next.
TEST_P(ProgramConsoleTest, CommandLinesThatCannotBeFollowedEndWith64BeforeAnythingElse)
{
    const std::string name = nameOf(GetParam().path);
    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{"--bogus"}, "unrecognized option '--bogus'"},
        {{"--seed=1", "-x"}, "unrecognized option '-x'"},
        {{"maze.png"}, "unexpected argument 'maze.png'"},
        {{"--seed"}, "option '--seed' requires an argument"},
        {{"--help=please"}, "option '--help' doesn't allow an argument"},
        {{"--seed", "4294967296"}, "invalid seed '4294967296': a whole number from 0 to 4294967295 is expected"},
        {{"--seed=-1"}, "invalid seed '-1': a whole number from 0 to 4294967295 is expected"},
        {{"--size", "20 x 10"}, "invalid size '20 x 10': WIDTHxHEIGHT is expected, such as 20x10"},
        {{"--size=20x"}, "invalid size '20x': WIDTHxHEIGHT is expected, such as 20x10"},
        {{"--save", "maze.gif"}, "cannot tell the picture format of 'maze.gif': its name must end in .png, .svg or .pdf"},
        {{"--save=png"}, "cannot tell the picture format of 'png': its name must end in .png, .svg or .pdf"},
        {{"--no-window"}, "--no-window needs --save: without a window the maze can only be saved"},
        {{"--solution", "--size", "2x1"}, "--solution needs --save: it draws the solution into the saved picture"},
        {{"--save", "m.png", "--cell-size", "1"},
         "invalid cell size '1': a whole number of pixels from 2 to 1000 is expected"},
        {{"--save", "m.pdf", "--cell-size", "4"}, "--cell-size applies to a PNG or SVG picture saved with --save"},
        {{"--save", "m.svg", "--paper", "letter"}, "--paper applies to a PDF picture saved with --save"},
        {{"--save", "m.pdf", "--paper", "a5"}, "invalid paper 'a5': a4 or letter is expected"},
        {{"--algorithm", "maze"},
         "invalid algorithm 'maze': kruskal, backtracker, prim, wilson, aldous-broder, hunt-and-kill, eller, "
         "sidewinder, binary-tree, recursive-division or growing-tree is expected"},
        {{"--braid=1.5"}, "invalid braid '1.5': a decimal from 0 to 1 is expected, such as 0.5"},
        {{"--braid", "-0"}, "invalid braid '-0': a decimal from 0 to 1 is expected, such as 0.5"},
        {{"--stats=yes"}, "option '--stats' doesn't allow an argument"},
        {{"--watch", "--save", "m.png", "--no-window"}, "--watch is for the window, which --no-window leaves out"},
        {{"--pace", "300"}, "--pace applies to a run shown with --watch"},
        {{"--w", "--pace=0"},
         "invalid pace '0': a whole number of steps a second from 1 to 1000000000, or unlimited, is expected"},
        {{"--watch", "--pace", "1000000001"},
         "invalid pace '1000000001': a whole number of steps a second from 1 to 1000000000, or unlimited, is expected"},
        {{"--watch", "--pace", "fast"},
         "invalid pace 'fast': a whole number of steps a second from 1 to 1000000000, or unlimited, is expected"},
        {{"-display"}, "option '-display' requires an argument"},
        {{"--save", "m.png", "--no-window", "-iconic"}, "option '-iconic' is for the window, which --no-window leaves out"},
        // As getopt_long reads them: "--" ends the options, arguments are refused once all
        // options are read, beginnings name options, and one shared is ambiguous.
        {{"--", "--help"}, "unexpected argument '--help'"},
        {{"maze.png", "--bogus"}, "unrecognized option '--bogus'"},
        {{"--s", "2x1"}, "option '--s' is ambiguous; possibilities: '--size' '--seed' '--save' '--solution' '--stats'"},
        {{"--p=a4"}, "option '--p=a4' is ambiguous; possibilities: '--print-seed' '--paper' '--pace'"},
        {{"--pa=a4"}, "option '--pa=a4' is ambiguous; possibilities: '--paper' '--pace'"},
        {{"--se"}, "option '--seed' requires an argument"},
        {{"--sol=yes"}, "option '--solution' doesn't allow an argument"},
        // Names quoted so that the message stays one line.
        {{"--save", "a\nb.gif"}, "cannot tell the picture format of 'a'$'\\n''b.gif': its name must end in .png, .svg or .pdf"},
    };
    for (const auto& [arguments, problem] : refused) {
        SCOPED_TRACE(problem);
        const ProgramRun run = runProgram(GetParam().path, "2 1\n", arguments);
        EXPECT_EQ(run.standardOutput, "");
        EXPECT_EQ(run.standardError, name + ": " + problem + "\nTry '" + name + " --help' for more information.\n");
        EXPECT_EQ(run.exitStatus, USAGE_ERROR);
    }
}

// A size given with --size skips the two prompts and is refused as the same
// numbers typed would be; what is typed is not read.
TEST_P(ProgramConsoleTest, SizesGivenOnTheCommandLineAreRefusedAsTypedOnes)
{
    const std::pair<const char*, int> sizes[] = {
        {"0x0", FATAL_SIZE_REFUSED},         {"1X2", FATAL_SIZE_REFUSED},   {"-1x-1", FATAL_SIZE_REFUSED},
        {"46341x46341", FATAL_SIZE_REFUSED}, {"2147483648x2", FATAL_SIZE_REFUSED},
        {"0x5", FATAL_ALLOCATION},           {"-3x+2", FATAL_ALLOCATION},
    };
    for (const auto& [size, level] : sizes) {
        SCOPED_TRACE(size);
        const ProgramRun run = runProgram(GetParam().path, "20 10\n", {"--size", size});
        EXPECT_EQ(run.standardOutput, greeting + (level == FATAL_ALLOCATION ? generating : ""));
        EXPECT_EQ(run.standardError, fatalMessage(level));
        EXPECT_EQ(run.exitStatus, level);
    }
}

// With --no-window no display is needed (these runs have none): the run says
// what it always says, but for the space bar: its last line names the file
// saved, and it ends with 0. The same seed
// and size make the same text and the same file, byte for byte; another seed
// another file.
TEST_P(ProgramConsoleTest, SavedWithoutAWindowTheSameSeedMakesTheSameFiles)
{
    const TemporaryDirectory directory;
    for (const char* extension : {"png", "svg", "pdf"}) {
        SCOPED_TRACE(extension);
        std::string contents[3];
        const char* seeds[] = {"4000000000", "4000000000", "4000000001"};
        for (int i = 0; i < 3; ++i) {
            const std::string path = directory.path() + "/maze" + std::to_string(i) + "." + extension;
            std::vector<std::string> arguments{"--seed", seeds[i], "--print-seed", "--size", "2x1", "--no-window",
                                               "--save", path, "--solution"};
            // The same run with its options named as getopt_long lets users name them.
            if (i == 1)
                arguments = {"--se", seeds[i], "--pr", "--si=2x1", "--n", "--sa", path, "--so", "--"};
            const ProgramRun run = runProgram(GetParam().path, "", arguments);
            EXPECT_EQ(run.standardOutput, greeting + solved2x1 + "\nI saved the maze and my solution as '" + path + "'\n");
            EXPECT_EQ(run.standardError, std::string("seed ") + seeds[i] + "\n");
            EXPECT_EQ(run.exitStatus, 0);
            contents[i] = fileContents(path);
        }
        EXPECT_FALSE(contents[0].empty());
        EXPECT_EQ(contents[0], contents[1]);
        EXPECT_NE(contents[0], contents[2]);
        // A PDF's metadata may sit in a compressed object stream (cairo 1.18
        // writes them so): read it as a PDF reader would.
        const std::string metadata =
            std::string(extension) == "pdf"
                ? runProgram("/usr/bin/pdfinfo", "", {directory.path() + "/maze0.pdf"}).standardOutput
                : contents[0];
        EXPECT_NE(metadata.find("seed 4000000000"), std::string::npos) << "the seed is not in the file's metadata";
    }
    EXPECT_EQ(directory.names(), (std::vector<std::string>{"maze0.pdf", "maze0.png", "maze0.svg", "maze1.pdf",
                                                           "maze1.png", "maze1.svg", "maze2.pdf", "maze2.png",
                                                           "maze2.svg"}));
}

// A braided maze of each carving, described with --stats: the run says what the
// depth-first solver says, with the shortest path's moves, and the line on
// standard error counts what the same maze carved here shows.
TEST_P(ProgramConsoleTest, BraidedMazesAreSolvedTheShortestWayAndDescribed)
{
    const TemporaryDirectory directory;
    for (int a = 0; a < carvingAlgorithmCount; ++a) {
        const std::string name = carvingAlgorithms[a].name;
        SCOPED_TRACE(name);
        const std::string path = directory.path() + "/maze.png";
        const ProgramRun run = runProgram(GetParam().path, "",
                                          {"--seed", "8", "--size", "9x7", "--algorithm", name, "--braid", "0.6",
                                           "--stats", "--save", path, "--no-window"});
        const ExpectedMaze maze = expectedMaze(carvingAlgorithms[a], 9, 7, 8, "0.6");
        EXPECT_EQ(run.standardOutput,
                  greeting + generating + "Done generating maze...\n"
                  "Solving the maze...I bet I can do this faster than you.\n"
                  "I solved the maze in " + std::to_string(maze.shortest) + " moves...perhaps there is a faster way\n"
                  "I'm done trying to solve the maze and did it in " + std::to_string(maze.shortest) + " moves\n"
                  "\nI saved the maze as '" + path + "'\n");
        EXPECT_EQ(run.standardError, maze.statistics);
        EXPECT_EQ(run.exitStatus, 0);
    }
    // Unbraided, the statistics of the default carving: the solution is the one path.
    const ProgramRun run = runProgram(GetParam().path, "", {"--size=30x20", "--seed=1000000000", "--stats",
                                                            "--save", directory.path() + "/m.svg", "--no-window"});
    EXPECT_EQ(run.standardError, expectedMaze(defaultCarving(), 30, 20, 1000000000, "0").statistics);
}

// Both programs carve the same maze for a seed with each algorithm, and its
// picture names the algorithm and the command that makes it again.
TEST(ProgramsWithAlgorithms, BothProgramsSaveTheSameMazeNamedInItsMetadata)
{
    const TemporaryDirectory directory;
    for (int a = 0; a < carvingAlgorithmCount; ++a) {
        const std::string name = carvingAlgorithms[a].name;
        SCOPED_TRACE(name);
        std::string saved[2];
        const char* programs[] = {MAZE_SERIAL_PROGRAM, MAZE_THREADED_PROGRAM};
        for (int p = 0; p < 2; ++p) {
            const std::string path = directory.path() + "/maze" + std::to_string(p) + ".svg";
            const ProgramRun run = runProgram(programs[p], "", {"--algorithm=" + name, "--seed", "77", "--size", "25x15",
                                                                 "--save", path, "--solution", "--no-window"});
            EXPECT_EQ(run.exitStatus, 0);
            saved[p] = fileContents(path);
        }
        // The same but for the program named in the metadata.
        for (std::size_t at = saved[1].find("maze_threaded"); at != std::string::npos; at = saved[1].find("maze_threaded"))
            saved[1].replace(at, 13, "maze_serial");
        EXPECT_TRUE(saved[0] == saved[1]) << "the programs saved different mazes";
        // Braiding at 0 is no braiding: the same file, byte for byte.
        const std::string unbraided = directory.path() + "/unbraided.svg";
        runProgram(MAZE_SERIAL_PROGRAM, "", {"--algorithm=" + name, "--braid=0.000", "--seed", "77", "--size", "25x15",
                                             "--save", unbraided, "--solution", "--no-window"});
        EXPECT_TRUE(fileContents(unbraided) == saved[0]) << "--braid 0 changed the picture";
        const std::string named = a == 0 ? "" : ", algorithm " + name;
        EXPECT_NE(saved[0].find("<title>Maze 25 x 15, seed 77" + named + "</title>"), std::string::npos);
        EXPECT_NE(saved[0].find("--size 25x15" + std::string(a == 0 ? "" : " --algorithm " + name) + "' makes it again"),
                  std::string::npos);
    }
}

// Mazes of extreme shapes make pictures too, even where a cell is far less
// than the finest unit of the PDF writer's coordinates.
TEST_P(ProgramConsoleTest, MazesOfExtremeShapesAreSavedInEveryFormat)
{
    const TemporaryDirectory directory;
    const std::pair<const char*, const char*> formats[] = {{"png", "\x89PNG"}, {"svg", "<?xml"}, {"pdf", "%PDF-"}};
    for (const char* size : {"400000x2", "2x400000"}) {
        for (const auto& [extension, start] : formats) {
            SCOPED_TRACE(std::string(size) + " " + extension);
            const std::string path = directory.path() + "/maze." + extension;
            std::vector<std::string> arguments{"--size", size, "--save", path, "--solution", "--no-window"};
            if (std::string(extension) == "png")
                arguments.push_back("--cell-size=2");
            const ProgramRun run = runProgram(GetParam().path, "", arguments);
            EXPECT_EQ(run.exitStatus, 0) << run.standardError;
            EXPECT_EQ(fileContents(path).rfind(start, 0), 0u);
        }
    }
}

// A picture that cannot be written ends the run with 12 once the maze is
// solved, with a line naming the file and the reason, and leaves nothing
// behind: no file under the name asked for, no temporary file beside it.
TEST_P(ProgramConsoleTest, APictureThatCannotBeWrittenEndsWith12AndLeavesNoFile)
{
    const std::string name = nameOf(GetParam().path);
    const TemporaryDirectory directory;
    const std::string full = directory.path() + "/full.png";
    ASSERT_EQ(symlink("/dev/full", full.c_str()), 0);
    const std::string folder = directory.path() + "/folder.svg";
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    struct Unwritable {
        std::string path;
        std::string reason;
        std::size_t fileSizeLimit;  // bytes, 0 for none
    } const cases[] = {
        {directory.path() + "/missing/maze.png", "No such file or directory", 0},
        {full, "No space left on device", 0},
        {folder, "Is a directory", 0},
        {directory.path() + "/maze.pdf", "File too large", 1024},
        {directory.path() + "/maze.png", "File too large", 1024},
    };
    for (const Unwritable& unwritable : cases) {
        SCOPED_TRACE(unwritable.path);
        std::unique_ptr<LimitForChildren> limit;
        if (unwritable.fileSizeLimit > 0)
            limit = std::make_unique<LimitForChildren>(RLIMIT_FSIZE, unwritable.fileSizeLimit);
        const ProgramRun run = runProgram(GetParam().path, "",
                                          {"--size=60x40", "--save=" + unwritable.path, "--solution", "--no-window"});
        EXPECT_EQ(run.standardOutput.substr(0, greeting.size() + generating.size()), greeting + generating);
        EXPECT_NE(run.standardOutput.find("I'm done trying to solve the maze"), std::string::npos);
        EXPECT_EQ(run.standardOutput.find("\nI saved"), std::string::npos);
        EXPECT_EQ(run.standardOutput.find("Press spacebar"), std::string::npos);
        EXPECT_EQ(run.standardError, name + ": cannot save the maze as '" + unwritable.path + "': " +
                                         unwritable.reason + "\n");
        EXPECT_EQ(run.exitStatus, SAVE_FAILURE);
        EXPECT_EQ(directory.names(), (std::vector<std::string>{"folder.svg", "full.png"}));
    }

    // A PNG wider than the format can hold is refused before carving.
    const std::string wide = directory.path() + "/wide.png";
    const ProgramRun run = runProgram(GetParam().path, "",
                                      {"--size=2200000x2", "--save", wide, "--cell-size=1000", "--no-window"});
    EXPECT_EQ(run.standardOutput, greeting + generating);
    EXPECT_EQ(run.standardError, name + ": cannot save the maze as '" + wide + "': at 1000 pixels a cell the " +
                                     "picture would be wider or taller than the 2147483647 pixels a PNG can hold\n");
    EXPECT_EQ(run.exitStatus, SAVE_FAILURE);

    // So is a PDF whose page cairo could not hold, before anything large is allocated.
    const std::string large = directory.path() + "/large.pdf";
    const ProgramRun pdf = runProgram(GetParam().path, "", {"--size=23171x23171", "--save", large, "--no-window"});
    EXPECT_EQ(pdf.standardOutput, greeting + generating);
    EXPECT_EQ(pdf.standardError, name + ": cannot save the maze as '" + large + "': cairo holds the drawing of a " +
                                     "PDF's page, compressed, in one block of at most 2 GiB, which a maze of more " +
                                     "than 536870912 cells would outgrow\n");
    EXPECT_EQ(pdf.exitStatus, SAVE_FAILURE);
}

// The bytes written so far into the file that process has open in directory
// without a name, as /proc shows an unnamed file ("directory/#12345 (deleted)"); -1 if none.
long long unnamedFileWritten(pid_t process, const std::string& directory)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/" + std::to_string(process) + "/fd", error)) {
        struct stat file;
        if (std::filesystem::read_symlink(entry.path(), error).string().rfind(directory + "/#", 0) == 0 &&
            stat(entry.path().c_str(), &file) == 0)
            return file.st_size;
    }
    return -1;
}

// A run stopped while it writes its picture (kill, Ctrl-C) leaves nothing
// behind, and ends by the signal as it always did: the picture is written
// without a name, and nothing shows in the directory until it is complete.
TEST_P(ProgramConsoleTest, AKillWhileSavingLeavesNothingBehind)
{
    const TemporaryDirectory directory;
    const std::string realDirectory = std::filesystem::canonical(directory.path()).string();
    RunningProgram program(GetParam().path,
                           {"--size", "1000x1000", "--save", directory.path() + "/maze.pdf", "--no-window"});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    long long written = -1;
    while ((written = unnamedFileWritten(program.id(), realDirectory)) <= 0 &&
           std::chrono::steady_clock::now() < deadline)
        usleep(10000);
    ASSERT_GT(written, 0) << "the picture was never seen being written";
    EXPECT_EQ(directory.names(), std::vector<std::string>{}) << "a name in the directory before the picture is whole";
    program.sendSignal(SIGTERM);
    const ProgramRun run = program.finish(std::chrono::seconds(30));
    EXPECT_FALSE(run.exited);
    EXPECT_EQ(directory.names(), std::vector<std::string>{});
}

// A link to a picture is written through, and stays a link.
TEST_P(ProgramConsoleTest, SavingOverALinkWritesTheFileItLeadsTo)
{
    const TemporaryDirectory directory;
    const std::string target = directory.path() + "/target.png";
    const std::string link = directory.path() + "/link.png";
    ASSERT_EQ(symlink("target.png", link.c_str()), 0);
    { std::ofstream(target) << "old"; }
    const ProgramRun run = runProgram(GetParam().path, "", {"--size", "2x1", "--save", link, "--no-window"});
    EXPECT_EQ(run.exitStatus, 0);
    struct stat linkStatus;
    ASSERT_EQ(lstat(link.c_str(), &linkStatus), 0);
    EXPECT_TRUE(S_ISLNK(linkStatus.st_mode));
    EXPECT_EQ(fileContents(target).substr(1, 3), "PNG");
    EXPECT_EQ(directory.names(), (std::vector<std::string>{"link.png", "target.png"}));
}

INSTANTIATE_TEST_SUITE_P(BuiltPrograms, ProgramConsoleTest,
                         ::testing::Values(Program{"serial", MAZE_SERIAL_PROGRAM},
                                           Program{"threaded", MAZE_THREADED_PROGRAM}),
                         programName);

}  // namespace
