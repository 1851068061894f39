#pragma once

namespace scrivane::posix {

// While a named staging file exists, SIGINT, SIGTERM, SIGHUP and SIGQUIT first
// remove it and then take their usual course, so no half-written file outlives
// the program. One file at a time: the program writes one file at a time.
class StagingCleanup
{
public:
    // name: a file in the folder open as folder; the strings must outlive the guard.
    StagingCleanup(int folder, const char* name);
    ~StagingCleanup();

    StagingCleanup(const StagingCleanup&) = delete;
    StagingCleanup& operator=(const StagingCleanup&) = delete;
};

} // namespace scrivane::posix
