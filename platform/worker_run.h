// Independent units of work spread over worker threads, with progress reported on the
// calling thread and cancellation from another one, for the replicate routines of the
// statistics and of the comparison. Entry points: workerCount, runOnWorkers.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

// The number of threads runOnWorkers starts for a request (0: one per core).
int workerCount(int threads);

// Calls work(unit, worker) for every unit 0..units − 1 on workerCount(threads) threads,
// worker being the 0-based number of the thread that runs the unit, and waits for them,
// calling progress (when given) with the units done now and then and once at the end.
// Stops early when *cancel is set, and then returns false.
bool runOnWorkers(std::int64_t units, int threads,
                  const std::function<void(std::int64_t unit, int worker)>& work,
                  const std::function<void(std::int64_t done)>& progress,
                  const std::atomic<bool>* cancel);
