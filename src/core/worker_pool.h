#pragma once

#include <functional>

namespace qel {

// Work spread over the cores by a small pool of threads that sleep while there is none, so that a
// run does not spin on a machine it shares. Items are handed out one at a time, in no fixed order:
// work whose result may not depend on the thread count writes each item to its own place.
//
// Runs work(item) for every item in 0..count-1 on the calling thread and the pool's threads, and
// returns once all are done. The first exception thrown
// by an item is rethrown here after the rest have finished. A call from inside an item, or while
// another thread runs a job, runs its items on the calling thread alone.
void forEachItem(int count, const std::function<void(int item)> &work);

// The threads forEachItem uses, the calling one included: the cores of the machine unless set.
int workerCount();
// 1 runs everything on the calling thread; below 1 goes back to the number of cores.
void setWorkerCount(int count);

} // namespace qel
