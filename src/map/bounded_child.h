#pragma once

#include <chrono>
#include <functional>

namespace qel {

// How a piece of work run in a child process ended.
enum class ChildOutcome {
    Finished, // returned within the time limit
    TimedOut, // still running at the limit, and killed
    Failed, // crashed, or ended with an exception or a failure status
    NotRun, // no child could be started or waited for; the caller goes on without a verdict
};

// Runs work in a forked child process and waits for it at most limit. Meant for third-party
// readers that may loop or crash on a damaged file: the child holds no share of the caller's
// state, so killing it costs nothing. work runs in a copy of the process and must not touch
// what another thread of the caller may hold locked (windows, the event loop).
ChildOutcome runInChild(const std::function<void()> &work, std::chrono::milliseconds limit);

} // namespace qel
