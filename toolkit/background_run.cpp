#include "toolkit/background_run.h"

namespace {

constexpr int lookInterval = 50; // milliseconds between looks at the worker

} // namespace

BackgroundRun::BackgroundRun(QObject* parent) : QObject(parent)
{
    timer_.setInterval(lookInterval);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { look(); });
}

BackgroundRun::~BackgroundRun()
{
    stop();
}

void BackgroundRun::startWork(std::function<void()> work,
                              std::function<void(std::int64_t)> showProgress,
                              std::function<void()> finished)
{
    stop();
    cancel_ = false;
    returned_ = false;
    done_ = 0;
    showProgress_ = std::move(showProgress);
    finished_ = std::move(finished);
    worker_ = std::thread([this, work = std::move(work)] {
        work();
        returned_.store(true, std::memory_order_release);
    });
    timer_.start();
}

void BackgroundRun::look()
{
    // Read before the count, so that a work that has returned shows its last report.
    const bool returned = returned_.load(std::memory_order_acquire);
    showProgress_(done_.load(std::memory_order_relaxed));
    if (!returned) return;
    timer_.stop();
    worker_.join();
    std::exchange(finished_, {})();
}

void BackgroundRun::stop()
{
    timer_.stop();
    if (!running()) return;
    cancel_ = true;
    worker_.join();
    finished_ = {};
}
