#include "fatal_expectation.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "standard_streams.h"
#include "temporary_file.h"

std::string fatalMessage(int level)
{
    // Five tabs between "is " and "exiting", and the misspelling, are the program's own.
    return "A fatal error has occured in the program and it is \t\t\t\t\texiting with level " + std::to_string(level) +
           "\n";
}

std::string expectFatalExit(const std::function<void()>& action, int level)
{
    TemporaryFile standardOutput;
    // The message has no regular-expression metacharacters, so anchoring it
    // at both ends demands exactly these bytes and nothing else.
    const std::string wholeMessage = "^" + fatalMessage(level) + "$";
    std::fflush(stdout);
    EXPECT_EXIT(
        {
            sendStandardOutputTo(standardOutput.path());
            action();
        },
        ::testing::ExitedWithCode(level), wholeMessage);
    return standardOutput.contents();
}
