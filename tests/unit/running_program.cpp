#include "running_program.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

extern char** environ;

namespace {

void closeIfOpen(int& descriptor)
{
    if (descriptor >= 0)
        close(descriptor);
    descriptor = -1;
}

// This process's environment minus whatever would let a program reach a display.
std::vector<char*> environmentWithoutDisplay()
{
    std::vector<char*> variables;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        if (std::strncmp(*variable, "DISPLAY=", 8) != 0 && std::strncmp(*variable, "WAYLAND_DISPLAY=", 16) != 0)
            variables.push_back(*variable);
    }
    variables.push_back(nullptr);
    return variables;
}

}  // namespace

RunningProgram::RunningProgram(const std::string& path, const std::vector<std::string>& arguments)
{
    // A program that ends before reading all it was sent must fail the test,
    // not kill it with SIGPIPE.
    signal(SIGPIPE, SIG_IGN);

    int input[2];
    int output[2];
    int error[2];
    if (pipe(input) != 0 || pipe(output) != 0 || pipe(error) != 0) {
        ADD_FAILURE() << "pipe: " << std::strerror(errno);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, error[1], STDERR_FILENO);
    for (int descriptor : {input[0], input[1], output[0], output[1], error[0], error[1]})
        posix_spawn_file_actions_addclose(&actions, descriptor);

    std::vector<std::string> words{path};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argumentVector;
    for (std::string& word : words)
        argumentVector.push_back(word.data());
    argumentVector.push_back(nullptr);
    std::vector<char*> environment = environmentWithoutDisplay();
    const int failure =
        posix_spawn(&processId, path.c_str(), &actions, nullptr, argumentVector.data(), environment.data());
    posix_spawn_file_actions_destroy(&actions);
    close(input[0]);
    close(output[1]);
    close(error[1]);
    inputPipe = input[1];
    outputPipe = output[0];
    errorPipe = error[0];
    if (failure != 0) {
        processId = -1;
        ADD_FAILURE() << "cannot start " << path << ": " << std::strerror(failure);
    }
}

RunningProgram::~RunningProgram()
{
    if (processId > 0) {
        kill(processId, SIGKILL);
        waitpid(processId, nullptr, 0);
    }
    closeIfOpen(inputPipe);
    closeIfOpen(outputPipe);
    closeIfOpen(errorPipe);
}

bool RunningProgram::collect(std::chrono::steady_clock::time_point deadline)
{
    std::vector<pollfd> watched;
    if (outputPipe >= 0)
        watched.push_back({outputPipe, POLLIN, 0});
    if (errorPipe >= 0)
        watched.push_back({errorPipe, POLLIN, 0});
    if (watched.empty())
        return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0)
        return false;
    const int ready = poll(watched.data(), watched.size(), static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR)
        return true;
    if (ready <= 0)
        return false;
    for (const pollfd& entry : watched) {
        if (entry.revents == 0)
            continue;
        char buffer[4096];
        const ssize_t got = read(entry.fd, buffer, sizeof buffer);
        const bool isOutput = entry.fd == outputPipe;
        if (got > 0)
            (isOutput ? standardOutput : standardError).append(buffer, static_cast<std::size_t>(got));
        else
            closeIfOpen(isOutput ? outputPipe : errorPipe);
    }
    return true;
}

bool RunningProgram::awaitOutputEndingWith(const std::string& text, std::chrono::milliseconds patience)
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    auto endsWithText = [&] {
        return standardOutput.size() >= text.size() &&
               standardOutput.compare(standardOutput.size() - text.size(), text.size(), text) == 0;
    };
    while (!endsWithText()) {
        if (!collect(deadline))
            return false;
    }
    return true;
}

void RunningProgram::type(const std::string& text)
{
    std::size_t written = 0;
    while (inputPipe >= 0 && written < text.size()) {
        const ssize_t done = write(inputPipe, text.data() + written, text.size() - written);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return;  // the program no longer reads; what it printed tells the rest
        written += static_cast<std::size_t>(done);
    }
}

void RunningProgram::sendSignal(int number)
{
    if (processId > 0)
        kill(processId, number);
}

ProgramRun RunningProgram::finish(std::chrono::milliseconds patience)
{
    closeIfOpen(inputPipe);
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (collect(deadline)) {
    }
    ProgramRun run;
    run.standardOutput = standardOutput;
    run.standardError = standardError;
    if (processId <= 0)
        return run;
    if (outputPipe >= 0 || errorPipe >= 0) {
        ADD_FAILURE() << "the program was still running after " << patience.count() << " ms";
        kill(processId, SIGKILL);
    }
    int status = 0;
    while (waitpid(processId, &status, 0) < 0 && errno == EINTR) {
    }
    processId = -1;
    run.exited = WIFEXITED(status);
    run.exitStatus = run.exited ? WEXITSTATUS(status) : -1;
    return run;
}

ProgramRun runProgram(const std::string& path, const std::string& typed, const std::vector<std::string>& arguments)
{
    RunningProgram program(path, arguments);
    program.type(typed);
    return program.finish(std::chrono::seconds(30));
}
