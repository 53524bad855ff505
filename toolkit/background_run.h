// A long computation on a worker thread, watched by a window: the work reports how far it
// has come and looks at a cancel flag; a timer on the window's thread shows the progress and,
// once the work has returned, joins the thread and hands the result to the window. stop()
// and the destructor cancel and join, so a closed window never has a thread writing into it.
#pragma once

#include <QObject>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <utility>

class BackgroundRun : public QObject
{
public:
    explicit BackgroundRun(QObject* parent);
    ~BackgroundRun() override;

    // The flag the work stops at and the call it reports its progress with; both stay valid
    // while this object lives and may be used from the worker thread.
    const std::atomic<bool>* cancelFlag() const { return &cancel_; }
    void reportProgress(std::int64_t done) { done_.store(done, std::memory_order_relaxed); }

    // Runs work on a worker thread; showProgress gets the latest reported count on the
    // window's thread at each look, finished the work's result after the thread is joined.
    template <class Result>
    void start(std::function<Result()> work, std::function<void(std::int64_t)> showProgress,
               std::function<void(Result)> finished)
    {
        auto result = std::make_shared<Result>();
        startWork([work = std::move(work), result] { *result = work(); }, std::move(showProgress),
                  [finished = std::move(finished), result] { finished(std::move(*result)); });
    }

    bool running() const { return worker_.joinable(); }
    // Asks the work to stop; its result still arrives through finished.
    void cancel() { cancel_ = true; }
    // Cancels and joins at once; finished is not called.
    void stop();

private:
    void startWork(std::function<void()> work, std::function<void(std::int64_t)> showProgress,
                   std::function<void()> finished);
    void look();

    std::thread worker_;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> returned_{false};
    std::atomic<std::int64_t> done_{0};
    std::function<void(std::int64_t)> showProgress_;
    std::function<void()> finished_;
    QTimer timer_;
};
