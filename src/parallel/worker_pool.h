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

// make(item) for every item as forEachItem runs work, and put(item) for each in order 0, 1, ...,
// one at a time, as soon as it and every item before it are made: by the thread that made the
// last of them, while the others go on making theirs. Once a put throws, no more are put; that
// exception, or the first a make throws, is rethrown here once every item has finished.
void forEachItemInOrder(int count, const std::function<void(int item)> &make, const std::function<void(int item)> &put);

// The threads forEachItem uses, the calling one included: the cores of the machine unless set.
int workerCount();
// 1 runs everything on the calling thread; below 1 goes back to the number of cores.
void setWorkerCount(int count);

} // namespace qel
