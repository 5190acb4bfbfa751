// Whole runs of the built programs that end before a window would open:
// every byte they print on both streams and their exit status. Both programs
// share the dialogue and the generation, so both must behave the same.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <ostream>
#include <string>
#include <utility>

#include "address_space_limit.h"
#include "console_transcript.h"
#include "fatal_exit.h"
#include "fatal_expectation.h"
#include "machine.h"
#include "memory_budget.h"
#include "running_program.h"

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
        {RLIMIT_AS, 700, 8, "2", "4000 4000\n", true},  {RLIMIT_AS, 900, 8, "2", "4000 4000\n", true},
        {RLIMIT_AS, 1200, 8, "2", "4000 4000\n", true}, {RLIMIT_AS, 3000, 8, "2", "8000 8000\n", true},
        {RLIMIT_AS, 1200, 8, "2", "2 1\n", false},      {RLIMIT_DATA, 586, 8, "2", "200 200\n", false},
        {RLIMIT_DATA, 586, 8, "2", "4000 4000\n", true}, {RLIMIT_AS, 830, 64, "2", "2 1\n", true},
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

INSTANTIATE_TEST_SUITE_P(BuiltPrograms, ProgramConsoleTest,
                         ::testing::Values(Program{"serial", MAZE_SERIAL_PROGRAM},
                                           Program{"threaded", MAZE_THREADED_PROGRAM}),
                         programName);

}  // namespace
