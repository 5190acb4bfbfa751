#include "temporary_name.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>

namespace {

// Written by rememberTemporaryName and forgetTemporaryName on the thread that
// saves; read by the signal handler on whichever thread takes the signal.
// named is set after, and cleared before, the other two change.
int temporaryDirectory = -1;
char temporaryName[NAME_MAX + 1] = "";
std::atomic<bool> named{false};

// Written by watchEndingSignals once; read by the handler: what each signal
// did before, which it does again once the name is gone.
struct sigaction previousActions[NSIG];
std::atomic<bool> watching{false};

// Faults the kernel raises on an instruction it then runs again: left to
// return, the handler lets the fault happen again under the action it had
// before (the core dump, or a sanitizer's report of where it was).
bool isRetriedFault(int number, const siginfo_t* information)
{
    const bool fault = number == SIGSEGV || number == SIGBUS || number == SIGFPE || number == SIGILL;
    return fault && information != nullptr && information->si_code > 0;
}

void onEndingSignal(int number, siginfo_t* information, void*)
{
    // A fault retried goes on with the errno of the code it interrupted.
    const int interruptedError = errno;
    if (named.exchange(false))
        unlinkat(temporaryDirectory, temporaryName, 0);
    errno = interruptedError;
    sigaction(number, &previousActions[number], nullptr);
    if (!isRetriedFault(number, information))
        raise(number);  // delivered, by the action restored, once the handler returns
}

}  // namespace

std::string unguessableNameBeside(const std::string& name, int& error)
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    unsigned char random[16];
    std::size_t filled = 0;
    while (filled < sizeof random) {
        const ssize_t got = getrandom(random + filled, sizeof random - filled, 0);
        if (got < 0 && errno != EINTR) {
            error = errno;
            return "";
        }
        filled += got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    // Well within NAME_MAX whatever the name: 1 + 200 + 1 + 16 bytes.
    std::string result = "." + name.substr(0, 200) + ".";
    for (unsigned char byte : random)
        result += alphabet[byte % 64];
    error = 0;
    return result;
}

void watchEndingSignals()
{
    if (watching.exchange(true))
        return;
    // Every signal whose default action ends the process, but SIGKILL, which
    // cannot be caught, and SIGPIPE and SIGXFSZ, which the run ignores (a
    // write then fails instead).
    const int endingSignals[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGILL,  SIGTRAP,   SIGABRT, SIGBUS,
                                 SIGFPE,  SIGUSR1, SIGSEGV, SIGUSR2, SIGALRM,   SIGTERM, SIGSTKFLT,
                                 SIGXCPU, SIGVTALRM, SIGPROF, SIGIO, SIGPWR, SIGSYS};
    auto watch = [](int number) {
        struct sigaction action {};
        action.sa_sigaction = onEndingSignal;
        action.sa_flags = SA_SIGINFO;
        sigfillset(&action.sa_mask);
        // A signal the user's shell ignores (nohup, or a background job's
        // Ctrl-C) stays ignored, and so do those the run ignores itself.
        if (sigaction(number, nullptr, &previousActions[number]) == 0 &&
            previousActions[number].sa_handler != SIG_IGN)
            sigaction(number, &action, nullptr);
    };
    for (int number : endingSignals)
        watch(number);
    for (int number = SIGRTMIN; number <= SIGRTMAX; ++number)
        watch(number);
}

void rememberTemporaryName(int directory, const std::string& name)
{
    named = false;
    temporaryDirectory = directory;
    std::memcpy(temporaryName, name.c_str(), std::min(name.size() + 1, sizeof temporaryName));
    temporaryName[sizeof temporaryName - 1] = '\0';
    named = true;
}

void forgetTemporaryName()
{
    named = false;
}
