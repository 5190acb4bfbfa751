// The opening dialogue: what it prints, how it reads the two numbers the way
// scanf's "%d" does, and the fixed fatal message every failure ends with.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "console.h"
#include "console_transcript.h"
#include "fatal_exit.h"
#include "fatal_expectation.h"
#include "maze_test_fixture.h"
#include "maze.h"
#include "picture_writers.h"
#include "standard_descriptors.h"
#include "standard_streams.h"
#include "temporary_file.h"

namespace {

class ConsoleDialogueTest : public MazeTest {
protected:
    // Runs the dialogue on typed input and returns what it printed.
    static std::string promptWithInput(const std::string& typed)
    {
        TemporaryFile input(typed);
        readStandardInputFrom(input.path());
        ::testing::internal::CaptureStdout();
        promptDimensions();
        return ::testing::internal::GetCapturedStdout();
    }
};

TEST_F(ConsoleDialogueTest, AsksForWidthThenHeightAfterTheBanner)
{
    EXPECT_EQ(promptWithInput("20\n10\n"), dialogueTranscript);
    EXPECT_EQ(mazeWidth, 20);
    EXPECT_EQ(mazeHeight, 10);
}

TEST_F(ConsoleDialogueTest, ReadsEachSizeAsScanfPercentDWould)
{
    struct Typed {
        const char* input;
        int width;
        int height;
    };
    const Typed cases[] = {
        {"  \n\t 20\n   10\n", 20, 10},  // white space, newlines included, is skipped
        {"20 10", 20, 10},               // no newline at the end of the input
        {"1 1", 1, 1},                   // the single cell
        {"2 1", 2, 1},                   // the smallest grid
        {"+4 +3", 4, 3},
        {"-3 2", -3, 2},                  // negative wall count: left to the wall list
        {"007 010", 7, 10},               // decimal even with leading zeros
        {"2147483647 1", INT_MAX, 1},     // the largest int is typed in full
        {"0 2147483647", 0, INT_MAX},
        {"5 0", 5, 0},
        // A number ends at the first non-digit, which stays unread and makes
        // the height's conversion fail: the height keeps its 0.
        {"20x 10", 20, 0},
        {"12 abc", 12, 0},
        // A sign without digits is consumed by the failed conversion; the
        // blank after it is not, so the height is read normally.
        {"- 5", 0, 5},
    };
    for (const Typed& typed : cases) {
        SCOPED_TRACE(std::string("typed: \"") + typed.input + "\"");
        mazeWidth = 0;
        mazeHeight = 0;
        EXPECT_EQ(promptWithInput(typed.input), dialogueTranscript);
        EXPECT_EQ(mazeWidth, typed.width);
        EXPECT_EQ(mazeHeight, typed.height);
    }
}

using ConsoleDialogueDeathTest = ConsoleDialogueTest;

TEST_F(ConsoleDialogueDeathTest, FatalExitPrintsTheFixedMessageAndExitsWithTheLevel)
{
    for (int level = 1; level <= 9; ++level) {
        SCOPED_TRACE("level " + std::to_string(level));
        // Nothing goes to standard output: the message is for standard error only.
        EXPECT_EQ(expectFatalExit([level] { fatalExit(level); }, level), "");
    }
}

// Whichever standard descriptors a program starts without are opened on
// /dev/null under their own numbers; the others stay as they were, and the
// next file opened gets a number above them.
TEST(StandardDescriptorsDeathTest, ClosedOnesAreOpenedOnTheNullDevice)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (int closed = 1; closed < 8; ++closed) {
        SCOPED_TRACE("closed: " + std::string(closed & 1 ? "0 " : "") + (closed & 2 ? "1 " : "") +
                     (closed & 4 ? "2" : ""));
        EXPECT_EXIT(
            {
                struct stat before[3];
                for (int descriptor = 0; descriptor < 3; ++descriptor) {
                    fstat(descriptor, &before[descriptor]);
                    if (closed & (1 << descriptor))
                        close(descriptor);
                }
                openClosedStandardDescriptors();
                struct stat nullDevice;
                stat("/dev/null", &nullDevice);
                for (int descriptor = 0; descriptor < 3; ++descriptor) {
                    struct stat now;
                    if (fstat(descriptor, &now) != 0)
                        _exit(10 + descriptor);
                    const struct stat& expected = closed & (1 << descriptor) ? nullDevice : before[descriptor];
                    if (now.st_dev != expected.st_dev || now.st_ino != expected.st_ino)
                        _exit(20 + descriptor);
                }
                _exit(open("/dev/null", O_RDONLY) > 2 ? 0 : 30);
            },
            ::testing::ExitedWithCode(0), "");
    }
}

// Standard error, while a test holds it on another descriptor.
class StandardErrorOn {
public:
    explicit StandardErrorOn(int descriptor) : saved(dup(STDERR_FILENO)) { dup2(descriptor, STDERR_FILENO); }
    ~StandardErrorOn()
    {
        dup2(saved, STDERR_FILENO);
        close(saved);
    }

private:
    int saved;
};

long long fakeNanoseconds = 0;

// What is waiting to be read on descriptor, which must not block.
std::string pending(int descriptor)
{
    std::string text;
    char buffer[256];
    for (ssize_t got; (got = read(descriptor, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(got));
    return text;
}

// A save's progress on a terminal: nothing for its first two seconds, then
// one line rewritten in place as the share grows, the name quoted so that it
// stays one line, blanked when the save ends; nothing at all on a pipe.
TEST(SaveProgressTest, ShowsOnATerminalOnlyOnceASaveHasTakenTwoSeconds)
{
    const auto realClock = SaveProgress::clock;
    SaveProgress::clock = [] { return fakeNanoseconds; };
    int terminal = -1;
    int screen = -1;
    ASSERT_EQ(openpty(&screen, &terminal, nullptr, nullptr, nullptr), 0);
    termios raw{};
    tcgetattr(terminal, &raw);
    cfmakeraw(&raw);
    tcsetattr(terminal, TCSANOW, &raw);
    fcntl(screen, F_SETFL, O_NONBLOCK);
    const std::string name = "'a'$'\\n''b.png'";
    {
        const StandardErrorOn onTerminal(terminal);
        fakeNanoseconds = 0;
        const SaveProgress progress("a\nb.png");
        progress.report(1, 4);
        fakeNanoseconds = 1'999'000'000;
        progress.report(2, 4);
        EXPECT_EQ(pending(screen), "");
        fakeNanoseconds = 2'000'000'000;
        progress.report(2, 4);
        progress.report(2, 4);
        progress.report(3, 4);
        EXPECT_EQ(pending(screen), "\rSaving " + name + ": 50%\rSaving " + name + ": 75%");
    }
    EXPECT_EQ(pending(screen), "\r" + std::string(name.size() + 16, ' ') + "\r");

    int pipeEnds[2];
    ASSERT_EQ(pipe2(pipeEnds, O_NONBLOCK), 0);
    {
        const StandardErrorOn onPipe(pipeEnds[1]);
        fakeNanoseconds = 0;
        const SaveProgress progress("maze.png");
        fakeNanoseconds = 60'000'000'000;
        progress.report(1, 2);
    }
    EXPECT_EQ(pending(pipeEnds[0]), "");
    for (int descriptor : {terminal, screen, pipeEnds[0], pipeEnds[1]})
        close(descriptor);
    SaveProgress::clock = realClock;
}

}  // namespace
