// The solver talks on standard output; while it is being timed its lines go
// to /dev/null, so the benchmark prints only its results and the terminal's
// speed does not enter the figures.
#ifndef SILENCED_STDOUT_H
#define SILENCED_STDOUT_H

// Points file descriptor 1 at /dev/null for the object's lifetime.
class SilencedStdout {
public:
    SilencedStdout();
    ~SilencedStdout();

    SilencedStdout(const SilencedStdout&) = delete;
    SilencedStdout& operator=(const SilencedStdout&) = delete;

private:
    int savedStdout;
};

#endif
