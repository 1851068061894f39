#include "posix_staging_cleanup.h"

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace scrivane::posix {

namespace {

constexpr int fatalSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr int signalCount = sizeof fatalSignals / sizeof fatalSignals[0];

// What the handler needs, set only while the signals are blocked.
volatile std::sig_atomic_t active = 0;
int stagingFolder = -1;
const char* stagingName = nullptr;
struct sigaction previous[signalCount];
bool replaced[signalCount];

// Only async-signal-safe calls: unlinkat, sigaction, raise.
void removeStagingThenResend(int signal)
{
    const int saved = errno;
    if (active) {
        active = 0;
        ::unlinkat(stagingFolder, stagingName, 0);
    }
    for (int k = 0; k < signalCount; ++k) {
        if (fatalSignals[k] == signal && replaced[k]) {
            ::sigaction(signal, &previous[k], nullptr);
            replaced[k] = false;
        }
    }
    // Blocked until this handler returns, then handled as it would have been.
    ::raise(signal);
    errno = saved;
}

class SignalsBlocked
{
public:
    SignalsBlocked()
    {
        sigset_t set;
        sigemptyset(&set);
        for (int signal : fatalSignals)
            sigaddset(&set, signal);
        pthread_sigmask(SIG_BLOCK, &set, &before_);
    }
    ~SignalsBlocked() { pthread_sigmask(SIG_SETMASK, &before_, nullptr); }

private:
    sigset_t before_;
};

} // namespace

StagingCleanup::StagingCleanup(int folder, const char* name)
{
    SignalsBlocked blocked;
    stagingFolder = folder;
    stagingName = name;
    active = 1;
    struct sigaction action = {};
    action.sa_handler = removeStagingThenResend;
    sigemptyset(&action.sa_mask);
    for (int signal : fatalSignals)
        sigaddset(&action.sa_mask, signal);
    for (int k = 0; k < signalCount; ++k) {
        replaced[k] = false;
        struct sigaction current;
        // A signal the program ignores (nohup) stays ignored.
        if (::sigaction(fatalSignals[k], nullptr, &current) != 0 || current.sa_handler == SIG_IGN)
            continue;
        previous[k] = current;
        replaced[k] = ::sigaction(fatalSignals[k], &action, nullptr) == 0;
    }
}

StagingCleanup::~StagingCleanup()
{
    SignalsBlocked blocked;
    active = 0;
    for (int k = 0; k < signalCount; ++k) {
        if (replaced[k])
            ::sigaction(fatalSignals[k], &previous[k], nullptr);
        replaced[k] = false;
    }
}

} // namespace scrivane::posix
