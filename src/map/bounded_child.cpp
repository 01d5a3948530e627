#include "map/bounded_child.h"

#include <cerrno>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace qel {

ChildOutcome runInChild(const std::function<void()> &work, std::chrono::milliseconds limit)
{
    const pid_t child = fork();
    if (child < 0)
        return ChildOutcome::NotRun;
    if (child == 0) {
        // _exit: the copy of the caller's exit handlers and stream buffers must not run.
        try {
            work();
        } catch (...) {
            _exit(2);
        }
        _exit(0);
    }
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + limit;
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child)
            break;
        if (done < 0 && errno != EINTR)
            return ChildOutcome::NotRun; // reaped by someone else: no verdict
        if (Clock::now() >= deadline) {
            kill(child, SIGKILL);
            while (waitpid(child, &status, 0) < 0 && errno == EINTR) { }
            return ChildOutcome::TimedOut;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ChildOutcome::Finished : ChildOutcome::Failed;
}

} // namespace qel
