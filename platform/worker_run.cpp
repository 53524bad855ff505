#include "platform/worker_run.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr auto progressInterval = std::chrono::milliseconds(50);

} // namespace

int workerCount(int threads)
{
    return threads > 0 ? threads
                       : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

bool runOnWorkers(std::int64_t units, int threads,
                  const std::function<void(std::int64_t unit, int worker)>& work,
                  const std::function<void(std::int64_t done)>& progress,
                  const std::atomic<bool>* cancel)
{
    std::atomic<std::int64_t> next{0};
    std::atomic<std::int64_t> done{0};
    std::mutex mutex;
    std::condition_variable finished;
    const int count = workerCount(threads);
    int running = count;
    std::vector<std::thread> workers;
    for (int worker = 0; worker < count; ++worker)
        workers.emplace_back([&, worker] {
            for (;;) {
                if (cancel && cancel->load(std::memory_order_relaxed)) break;
                const std::int64_t unit = next.fetch_add(1);
                if (unit >= units) break;
                work(unit, worker);
                done.fetch_add(1, std::memory_order_relaxed);
            }
            const std::lock_guard lock(mutex);
            if (--running == 0) finished.notify_all();
        });
    {
        std::unique_lock lock(mutex);
        while (!finished.wait_for(lock, progressInterval, [&running] { return running == 0; })) {
            if (!progress) continue;
            lock.unlock();
            progress(done.load());
            lock.lock();
        }
    }
    for (std::thread& worker : workers)
        worker.join();
    if (done.load() < units) return false;
    if (progress) progress(units);
    return true;
}
