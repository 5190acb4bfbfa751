// Which typed sizes the dialogue refuses (level 9) and which it lets through,
// either to a maze or to the wall list's level 1 for a negative wall count.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "console.h"
#include "console_transcript.h"
#include "fatal_exit.h"
#include "fatal_expectation.h"
#include "maze.h"
#include "maze_size.h"
#include "maze_test_fixture.h"
#include "standard_streams.h"
#include "temporary_file.h"

namespace {

struct Size {
    int width;
    int height;
};

std::string describe(Size size)
{
    return std::to_string(size.width) + " x " + std::to_string(size.height);
}

TEST(SizeLimits, AcceptsGridsOfTwoOrMoreColumnsAndTheSingleCell)
{
    const Size accepted[] = {
        {2, 1}, {1, 1}, {3, 2}, {20, 10}, {150, 150},
        {INT_MAX, 1},      // W*H exactly INT_MAX
        {32768, 32768},    // wall count 2147418112
        {32769, 32768},    // wall count exactly INT_MAX
        {32768, 32769},
    };
    for (Size size : accepted)
        EXPECT_FALSE(isRefusedSize(size.width, size.height)) << describe(size);
}

TEST(SizeLimits, LeavesNegativeWallCountsToTheWallList)
{
    const Size negativeWallCount[] = {
        {0, 5}, {5, 0}, {-3, 2}, {2, -1}, {1, 0}, {1, -1}, {0, INT_MAX}, {INT_MAX, 0},
    };
    for (Size size : negativeWallCount) {
        SCOPED_TRACE(describe(size));
        mazeWidth = size.width;
        mazeHeight = size.height;
        EXPECT_LT(wallCount(), 0);
        EXPECT_FALSE(isRefusedSize(size.width, size.height));
    }
    mazeWidth = 0;
    mazeHeight = 0;
}

TEST(SizeLimits, RefusesGridsTheWallListCannotDescribe)
{
    const Size refused[] = {
        {0, 0},
        {1, 2}, {1, 150}, {1, INT_MAX},   // a single column of two or more rows
        {-1, -1}, {-2, -3}, {-1, 0},      // wall count not negative, yet no grid
        {INT_MIN + 1, INT_MIN},           // the largest wall count two ints give that still fits 64 bits
    };
    for (Size size : refused)
        EXPECT_TRUE(isRefusedSize(size.width, size.height)) << describe(size);
}

TEST(SizeLimits, RefusesCellOrWallCountsBeyondThirtyTwoBits)
{
    const Size refused[] = {
        {46341, 46341},     // W*H = 2147488281, just above INT_MAX
        {65536, 32768},     // W*H = 2^31
        {2, INT_MAX},
        {32769, 32769},     // cells fit, wall count 2147549184
        {321, 3350209},     // cells fit, wall count INT_MAX + 1
        {3350209, 321},
        {INT_MIN, 1},       // cells fit, wall count below INT_MIN
        {INT_MIN, 0},       // no cells, wall count 2^31
        {0, INT_MIN},
        {-65536, 32769},    // W*H below INT_MIN
    };
    for (Size size : refused)
        EXPECT_TRUE(isRefusedSize(size.width, size.height)) << describe(size);
}

// Typing -2147483648 twice gives a wall count of 2^63 + 2^32, beyond even
// 64-bit arithmetic: the check must refuse it without overflowing (the
// sanitizer build stops on any signed overflow).
TEST(SizeLimits, BothSizesAtIntMinAreRefusedWithoutOverflow)
{
    EXPECT_TRUE(isRefusedSize(INT_MIN, INT_MIN));
    EXPECT_TRUE(isRefusedSize(INT_MAX, INT_MAX));
    EXPECT_TRUE(isRefusedSize(INT_MIN, INT_MAX));
}

using SizeLimitsDeathTest = MazeTest;

// The dialogue itself refuses: right after the height is read, before
// anything else is printed.
TEST_F(SizeLimitsDeathTest, DialogueEndsWithLevel9ForRefusedSizes)
{
    const char* refusedInputs[] = {
        "0 0", "", "\n\n", "1 2", "1 1000", "-1 -1", "32769 32769", "46341 46341", "321 3350209",
        "-2147483648 1",
        // A failed width conversion leaves the offending text unread, so the
        // height's read fails on it too: both stay 0. Were the text skipped,
        // the height would be 5 and the size 0 x 5 would get past the dialogue.
        "abc 5\n", "x5 5", "-x 5",
        // Numbers that do not fit an int, in either prompt and either sign.
        "2147483648 1", "-2147483649 1", "5 2147483648", "5 99999999999999999999999999",
        "4294967298 2",  // would wrap to 2 in 32 bits
    };
    for (const char* typed : refusedInputs) {
        SCOPED_TRACE(std::string("typed: \"") + typed + "\"");
        TemporaryFile input(typed);
        const std::string printed = expectFatalExit(
            [&] {
                readStandardInputFrom(input.path());
                promptDimensions();
            },
            FATAL_SIZE_REFUSED);
        EXPECT_EQ(printed, dialogueTranscript);
    }
}

}  // namespace
