// Running one of the built programs as a user at a terminal would: typing
// into its standard input and watching its standard output and error.
#ifndef RUNNING_PROGRAM_H
#define RUNNING_PROGRAM_H

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

// How a program run ended and everything it wrote.
struct ProgramRun {
    std::string standardOutput;
    std::string standardError;
    bool exited = false;  // ended through exit, not a signal or a time-out
    int exitStatus = -1;
};

// A started program with all three standard streams on pipes. The program
// gets this process's environment without a display, so that a run which
// wrongly gets as far as opening a window fails instead of showing one.
class RunningProgram {
public:
    explicit RunningProgram(const std::string& path, const std::vector<std::string>& arguments = {});
    ~RunningProgram();

    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // Reads standard output until what has arrived so far ends with text;
    // false if the program stops writing or the time runs out first.
    bool awaitOutputEndingWith(const std::string& text, std::chrono::milliseconds patience);

    // Writes text to the program's standard input.
    void type(const std::string& text);

    // Sends the program a signal, as kill(1) would.
    void sendSignal(int number);

    // The program's process id, for a look at it in /proc; -1 if it did not start.
    pid_t id() const { return processId; }

    // Closes standard input, collects the rest of both outputs and waits for
    // the end; a program still running after patience is killed.
    ProgramRun finish(std::chrono::milliseconds patience);

private:
    // Moves whatever is ready on the output pipes into the buffers, waiting
    // at most until deadline; false once both pipes are closed or the time is up.
    bool collect(std::chrono::steady_clock::time_point deadline);

    pid_t processId = -1;
    int inputPipe = -1;
    int outputPipe = -1;
    int errorPipe = -1;
    std::string standardOutput;
    std::string standardError;
};

// Runs the program with the arguments given and typed as its whole input.
ProgramRun runProgram(const std::string& path, const std::string& typed,
                      const std::vector<std::string>& arguments = {});

#endif
